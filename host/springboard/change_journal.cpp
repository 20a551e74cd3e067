#include "springboard/change_journal.h"

#include <utility>

namespace qv::host {

void ChangeJournal::appChanged(const std::string& bundleID) {
  std::lock_guard<std::mutex> guard(lock_);
  if (appSet_.insert(bundleID).second) apps_.push_back(bundleID);
}

void ChangeJournal::iconChanged(id iconView) {
  if (lastIcon_.load(std::memory_order_relaxed) == iconView) return;
  std::lock_guard<std::mutex> guard(lock_);
  lastIcon_.store(iconView, std::memory_order_relaxed);
  if (iconSet_.insert(iconView).second) icons_.push_back(iconView);
}

std::vector<std::string> ChangeJournal::takeApps() {
  std::lock_guard<std::mutex> guard(lock_);
  appSet_.clear();
  return std::exchange(apps_, {});
}

std::vector<id> ChangeJournal::takeIcons() {
  std::lock_guard<std::mutex> guard(lock_);
  lastIcon_.store(nil, std::memory_order_relaxed);
  iconSet_.clear();
  return std::exchange(icons_, {});
}

}  // namespace qv::host
