#include "effects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "foundation/system_log.h"

namespace qv::sim {

using host::Json;

namespace {

// A value as a person reads it.
std::string shortText(const Json& value) {
  if (value.isNull()) return "none";
  if (value.isString()) return value.asString();
  return value.dump();
}

bool same(const Json& a, const Json& b) { return a == b; }

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// A colour of the dump ({red, green, blue, alpha} from 0 to 1) as "#rrggbb", with ":alpha"
// when it is not opaque.
std::string colourText(const Json& colour) {
  if (colour.isNull()) return "none";
  auto byte = [&](const char* part) {
    double v = std::clamp(colour[part].asNumber(), 0.0, 1.0);
    return static_cast<int>(std::lround(v * 255));
  };
  char text[32];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", byte("red"), byte("green"), byte("blue"));
  std::string out = text;
  double alpha = colour["alpha"].asNumber();
  if (alpha < 1) {
    std::snprintf(text, sizeof text, ":%.2f", alpha);
    out += text;
  }
  return out;
}

void describeMenu(const Json& before, const Json& after, std::vector<std::string>& out) {
  if (before.isNull() && !after.isNull()) {
    out.push_back("menu opened for " + shortText(after["bundleID"]));
  } else if (!before.isNull() && after.isNull()) {
    out.push_back("menu closed");
  }
}

void describeAlert(const Json& before, const Json& after, std::vector<std::string>& out) {
  if (after.isNull()) {
    if (!before.isNull()) out.push_back("alert dismissed");
    return;
  }
  if (!before.isNull() && same(before, after)) return;
  std::string line = "alert " + quoted(shortText(after["title"]));
  if (!after["message"].isNull()) line += ": " + shortText(after["message"]);
  std::string buttons;
  for (const Json& b : after["buttons"].items()) {
    buttons += (buttons.empty() ? "" : ", ") + b["title"].asString();
  }
  out.push_back(line + " [" + buttons + "]");
}

void describeApp(const std::string& id, const Json& was, const Json& now,
                 std::vector<std::string>& out) {
  if (!same(was["badge"], now["badge"])) {
    out.push_back(id + ": badge " + shortText(was["badge"]) + " -> " + shortText(now["badge"]));
  }
  for (const char* state : {"offloaded", "uninstalled"}) {
    if (!was[state].asBool() && now[state].asBool()) out.push_back(id + ": " + state);
  }
  if (was["running"].asBool() != now["running"].asBool()) {
    out.push_back(id + (now["running"].asBool() ? ": running" : ": quit"));
  }
  const Json& files = now["containerFiles"];
  if (!same(was["containerFiles"], files) && files.isArray()) {
    out.push_back(id + ": container files " + std::to_string(was["containerFiles"].size()) +
                  " -> " + std::to_string(files.size()));
  }
  const Json& n = now["notifications"];
  if (!same(was["notifications"], n) && !n.isNull()) {
    out.push_back(id + ": notifications " + (n["allowsNotifications"].asBool() ? "on" : "off") +
                  ", alert type " + shortText(n["alertType"]));
  }
}

void describeIcon(const std::string& id, const Json& was, const Json& now,
                  std::vector<std::string>& out) {
  if (now.isNull()) {
    out.push_back("icon " + id + " removed");
    return;
  }
  if (!same(was["badge"], now["badge"])) {
    out.push_back("icon " + id + ": badge " + shortText(now["badge"]));
  }
  for (const auto& [key, words] : {std::pair{"imageAlpha", "image alpha"},
                                   {"labelAlpha", "label alpha"},
                                   {"accessoryAlpha", "accessory alpha"}}) {
    if (!same(was[key], now[key])) {
      out.push_back("icon " + id + ": " + words + " " + shortText(was[key]) + " -> " +
                    shortText(now[key]));
    }
  }
  if (!same(was["tint"], now["tint"])) {
    out.push_back("icon " + id + ": tint " + colourText(was["tint"]) + " -> " +
                  colourText(now["tint"]));
  }
  if (was["labelHidden"].asBool() != now["labelHidden"].asBool()) {
    out.push_back("icon " + id + ": label " + (now["labelHidden"].asBool() ? "hidden" : "shown"));
  }
}

void describeSettings(const Json& before, const Json& after, std::vector<std::string>& out) {
  for (const auto& [key, now] : after.members()) {
    if (!same(before[key], now)) {
      out.push_back("setting " + key + ": " + shortText(before[key]) + " -> " + shortText(now));
    }
  }
}

void describeSwitcher(const Json& before, const Json& after, std::vector<std::string>& out) {
  for (const char* part : {"pages", "cards"}) {
    for (const Json& now : after[part].items()) {
      const Json* was = nullptr;
      for (const Json& p : before[part].items()) {
        if (p["app"].asString() == now["app"].asString()) was = &p;
      }
      if (was && same((*was)["filters"], now["filters"]) &&
          same((*was)["blocksTouches"], now["blocksTouches"])) {
        continue;
      }
      std::string filters;
      for (const Json& f : now["filters"].items()) {
        filters += (filters.empty() ? "" : ", ") + f["name"].asString();
      }
      std::string line = std::string("switcher ") + (part[0] == 'p' ? "page " : "card ") +
                         now["app"].asString() + ": " +
                         (filters.empty() ? "no filters" : "filters " + filters);
      if (now["blocksTouches"].asBool()) line += ", touches blocked";
      out.push_back(line);
    }
  }
}

void describePrompts(const Json& before, const Json& after, std::vector<std::string>& out) {
  size_t was = before.size(), now = after.size();
  for (size_t i = was; i < now; i++) {
    out.push_back("authentication prompt: " + quoted(after[i]["reason"].asString()));
  }
  if (now < was) out.push_back("authentication prompt answered");
}

}  // namespace

std::vector<std::string> describeChanges(const StateChanges& changes) {
  const Json& before = changes.before;
  const Json& after = changes.after;
  std::vector<std::string> out;
  describeMenu(before["menu"], after["menu"], out);
  describeAlert(before["alert"], after["alert"], out);
  if (!same(before["pasteboard"], after["pasteboard"])) {
    out.push_back("pasteboard: " + quoted(shortText(after["pasteboard"])));
  }
  for (const EntityChange& app : changes.apps) describeApp(app.id, app.before, app.after, out);
  for (const EntityChange& icon : changes.icons) {
    describeIcon(icon.id, icon.before, icon.after, out);
  }
  if (!same(before["frontmost"], after["frontmost"])) {
    out.push_back("frontmost app: " + shortText(after["frontmost"]));
  }
  describeSettings(before["settings"], after["settings"], out);
  if (!same(before["staticColor"], after["staticColor"])) {
    out.push_back("static colour: " + colourText(before["staticColor"]) + " -> " +
                  colourText(after["staticColor"]));
  }
  describeSwitcher(before["switcher"], after["switcher"], out);
  describePrompts(before["pendingPrompts"], after["pendingPrompts"], out);
  for (const std::string& e : changes.hostEvents) out.push_back("host: " + e);
  if (changes.logDropped > 0) {
    out.push_back("log: " + std::to_string(changes.logDropped) +
                  " earlier lines no longer kept (the system log keeps the last " +
                  std::to_string(host::kSystemLogCapacity) + ")");
  }
  for (const std::string& line : changes.log) out.push_back("log: " + line);
  return out;
}

StateChanges changesBetween(const Json& before, const Json& after) {
  StateChanges changes;
  changes.before = before;
  changes.after = after;
  for (const auto& [id, now] : after["apps"].members()) {
    changes.apps.push_back({id, before["apps"][id], now});
  }
  for (const Json& was : before["icons"].items()) {
    Json now;
    for (const Json& icon : after["icons"].items()) {
      if (icon["identifier"].asString() == was["identifier"].asString()) now = icon;
    }
    changes.icons.push_back({was["identifier"].asString(), was, now});
  }
  // Lists that only grow: the new entries.
  for (const char* list : {"hostEvents", "log"}) {
    auto& out = list[0] == 'h' ? changes.hostEvents : changes.log;
    for (size_t i = before[list].size(); i < after[list].size(); i++) {
      out.push_back(after[list][i].asString());
    }
  }
  return changes;
}

}  // namespace qv::sim
