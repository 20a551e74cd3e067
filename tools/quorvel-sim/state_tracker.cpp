#include "state_tracker.h"

#include <algorithm>

#include "foundation/system_log.h"
#include "observe/state_dump.h"

namespace qv::sim {

using host::Json;

void StateTracker::start(host::HomeScreen& home) {
  home.journal().takeApps();
  home.journal().takeIcons();
  for (const host::AppState& a : home.apps()) apps_[a.setup.bundleID] = host::appState(a);
  const auto& icons = home.icons();
  for (size_t i = 0; i < icons.size(); i++) {
    if (icons[i].iconView) {
      icons_[icons[i].iconView.get()] = {icons[i].identifier, icons[i].kind, i,
                                         host::iconLook(icons[i])};
    }
  }
  started_ = true;
}

void StateTracker::begin(host::HomeScreen& home) {
  if (!started_) {
    start(home);
  } else {
    for (const std::string& id : home.journal().takeApps()) {
      if (const host::AppState* a = home.app(id)) apps_[id] = host::appState(*a);
    }
    for (id view : home.journal().takeIcons()) {
      long place = home.iconPosition(view);
      auto seen = icons_.find(view);
      if (place < 0) {
        if (seen != icons_.end()) icons_.erase(seen);
      } else if (seen != icons_.end()) {
        seen->second.look = host::iconLook(home.icons()[static_cast<size_t>(place)]);
      }
    }
  }
  shared_ = host::sharedState(home);
  hostEvents_ = home.hostEvents().size();  // what happened before the command is not told
  log_ = host::systemLogCount();
}

StateChanges StateTracker::end(host::HomeScreen& home) {
  StateChanges changes;
  changes.before = std::move(shared_);
  changes.after = host::sharedState(home);
  shared_ = changes.after;

  // In the order of the apps' installation.
  std::vector<std::pair<size_t, EntityChange>> apps;
  for (const std::string& id : home.journal().takeApps()) {
    const host::AppState* a = home.app(id);
    if (!a) continue;
    Json now = host::appState(*a);
    Json& was = apps_[id];
    if (now == was) continue;
    apps.push_back({static_cast<size_t>(a - home.apps().data()), {id, std::move(was), now}});
    was = std::move(now);
  }
  std::sort(apps.begin(), apps.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [order, change] : apps) changes.apps.push_back(std::move(change));

  // In the order the icons were placed; an icon that is no longer there was removed. Most
  // touched icons look as they did (a layout touches them all), so looks are compared first.
  std::vector<std::pair<size_t, EntityChange>> icons;
  for (id view : home.journal().takeIcons()) {
    auto seen = icons_.find(view);
    if (seen == icons_.end()) continue;  // never on the home screen while followed
    Icon& icon = seen->second;
    long place = home.iconPosition(view);
    if (place < 0) {
      icons.push_back(
          {icon.order,
           {icon.identifier, host::iconJson(icon.identifier, icon.kind, icon.look), Json()}});
      icons_.erase(seen);
      continue;
    }
    host::IconLook now = host::iconLook(home.icons()[static_cast<size_t>(place)]);
    if (now == icon.look) continue;
    icons.push_back({icon.order,
                     {icon.identifier, host::iconJson(icon.identifier, icon.kind, icon.look),
                      host::iconJson(icon.identifier, icon.kind, now)}});
    icon.look = now;
  }
  std::sort(icons.begin(), icons.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [order, change] : icons) changes.icons.push_back(std::move(change));

  const auto& events = home.hostEvents();
  if (hostEvents_ > events.size()) hostEvents_ = 0;  // forgotten meanwhile
  changes.hostEvents.assign(events.begin() + static_cast<long>(hostEvents_), events.end());
  hostEvents_ = events.size();
  host::SystemLogTail tail = host::systemLogSince(log_);
  changes.log = std::move(tail.lines);
  changes.logDropped = tail.dropped;
  log_ += tail.dropped + changes.log.size();
  return changes;
}

}  // namespace qv::sim
