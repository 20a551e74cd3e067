#include "effects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "foundation/system_log.h"

namespace qv::sim {

using host::Json;

namespace {

// The states compared come from different moments (an app installed meanwhile, an icon
// removed), so reading is lenient: a member that is not there reads as null, and a value of
// another type as false, 0, "" or an empty list.
const Json& at(const Json& value, const std::string& key) {
  static const Json kNull;
  if (!value.is_object()) return kNull;
  auto found = value.find(key);
  return found == value.end() ? kNull : *found;
}
const Json& at(const Json& value, size_t index) {
  static const Json kNull;
  return value.is_array() && index < value.size() ? value[index] : kNull;
}
const Json& list(const Json& value) {
  static const Json kEmpty = Json::array();
  return value.is_array() ? value : kEmpty;
}
bool flag(const Json& value) { return value.is_boolean() && value.get<bool>(); }
double num(const Json& value) { return value.is_number() ? value.get<double>() : 0; }
std::string text(const Json& value) { return value.is_string() ? value.get<std::string>() : ""; }
size_t count(const Json& value) { return value.is_array() || value.is_object() ? value.size() : 0; }

// A value as a person reads it.
std::string shortText(const Json& value) {
  if (value.is_null()) return "none";
  if (value.is_string()) return value.get<std::string>();
  return host::jsonText(value);
}

bool same(const Json& a, const Json& b) { return a == b; }

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// A colour of the dump ({red, green, blue, alpha} from 0 to 1) as "#rrggbb", with ":alpha"
// when it is not opaque.
std::string colourText(const Json& colour) {
  if (colour.is_null()) return "none";
  auto byte = [&](const char* part) {
    double v = std::clamp(num(at(colour, part)), 0.0, 1.0);
    return static_cast<int>(std::lround(v * 255));
  };
  char out[32];
  std::snprintf(out, sizeof out, "#%02x%02x%02x", byte("red"), byte("green"), byte("blue"));
  std::string result = out;
  double alpha = num(at(colour, "alpha"));
  if (alpha < 1) {
    std::snprintf(out, sizeof out, ":%.2f", alpha);
    result += out;
  }
  return result;
}

void describeMenu(const Json& before, const Json& after, std::vector<std::string>& out) {
  if (before.is_null() && !after.is_null()) {
    out.push_back("menu opened for " + shortText(at(after, "bundleID")));
  } else if (!before.is_null() && after.is_null()) {
    out.push_back("menu closed");
  }
}

void describeAlert(const Json& before, const Json& after, std::vector<std::string>& out) {
  if (after.is_null()) {
    if (!before.is_null()) out.push_back("alert dismissed");
    return;
  }
  if (!before.is_null() && same(before, after)) return;
  std::string line = "alert " + quoted(shortText(at(after, "title")));
  if (!at(after, "message").is_null()) line += ": " + shortText(at(after, "message"));
  std::string buttons;
  for (const Json& b : list(at(after, "buttons"))) {
    buttons += (buttons.empty() ? "" : ", ") + text(at(b, "title"));
  }
  out.push_back(line + " [" + buttons + "]");
}

void describeApp(const std::string& id, const Json& was, const Json& now,
                 std::vector<std::string>& out) {
  if (!same(at(was, "badge"), at(now, "badge"))) {
    out.push_back(id + ": badge " + shortText(at(was, "badge")) + " -> " +
                  shortText(at(now, "badge")));
  }
  for (const char* state : {"offloaded", "uninstalled"}) {
    if (!flag(at(was, state)) && flag(at(now, state))) out.push_back(id + ": " + state);
  }
  if (flag(at(was, "running")) != flag(at(now, "running"))) {
    out.push_back(id + (flag(at(now, "running")) ? ": running" : ": quit"));
  }
  const Json& files = at(now, "containerFiles");
  if (!same(at(was, "containerFiles"), files) && files.is_array()) {
    out.push_back(id + ": container files " + std::to_string(count(at(was, "containerFiles"))) +
                  " -> " + std::to_string(files.size()));
  }
  const Json& n = at(now, "notifications");
  if (!same(at(was, "notifications"), n) && !n.is_null()) {
    out.push_back(id + ": notifications " + (flag(at(n, "allowsNotifications")) ? "on" : "off") +
                  ", alert type " + shortText(at(n, "alertType")));
  }
}

void describeIcon(const std::string& id, const Json& was, const Json& now,
                  std::vector<std::string>& out) {
  if (now.is_null()) {
    out.push_back("icon " + id + " removed");
    return;
  }
  if (!same(at(was, "badge"), at(now, "badge"))) {
    out.push_back("icon " + id + ": badge " + shortText(at(now, "badge")));
  }
  for (const auto& [key, words] : {std::pair{"imageAlpha", "image alpha"},
                                   {"labelAlpha", "label alpha"},
                                   {"accessoryAlpha", "accessory alpha"}}) {
    if (!same(at(was, key), at(now, key))) {
      out.push_back("icon " + id + ": " + words + " " + shortText(at(was, key)) + " -> " +
                    shortText(at(now, key)));
    }
  }
  if (!same(at(was, "tint"), at(now, "tint"))) {
    out.push_back("icon " + id + ": tint " + colourText(at(was, "tint")) + " -> " +
                  colourText(at(now, "tint")));
  }
  if (flag(at(was, "labelHidden")) != flag(at(now, "labelHidden"))) {
    out.push_back("icon " + id + ": label " + (flag(at(now, "labelHidden")) ? "hidden" : "shown"));
  }
}

void describeSettings(const Json& before, const Json& after, std::vector<std::string>& out) {
  if (!after.is_object()) return;
  for (const auto& [key, now] : after.items()) {
    if (!same(at(before, key), now)) {
      out.push_back("setting " + key + ": " + shortText(at(before, key)) + " -> " + shortText(now));
    }
  }
}

void describeSwitcher(const Json& before, const Json& after, std::vector<std::string>& out) {
  for (const char* part : {"pages", "cards"}) {
    for (const Json& now : list(at(after, part))) {
      const Json* was = nullptr;
      for (const Json& p : list(at(before, part))) {
        if (text(at(p, "app")) == text(at(now, "app"))) was = &p;
      }
      if (was && same(at(*was, "filters"), at(now, "filters")) &&
          same(at(*was, "blocksTouches"), at(now, "blocksTouches"))) {
        continue;
      }
      std::string filters;
      for (const Json& f : list(at(now, "filters"))) {
        filters += (filters.empty() ? "" : ", ") + text(at(f, "name"));
      }
      std::string line = std::string("switcher ") + (part[0] == 'p' ? "page " : "card ") +
                         text(at(now, "app")) + ": " +
                         (filters.empty() ? "no filters" : "filters " + filters);
      if (flag(at(now, "blocksTouches"))) line += ", touches blocked";
      out.push_back(line);
    }
  }
}

void describePrompts(const Json& before, const Json& after, std::vector<std::string>& out) {
  size_t was = count(before), now = count(after);
  for (size_t i = was; i < now; i++) {
    out.push_back("authentication prompt: " + quoted(text(at(at(after, i), "reason"))));
  }
  if (now < was) out.push_back("authentication prompt answered");
}

}  // namespace

std::vector<std::string> describeChanges(const StateChanges& changes) {
  const Json& before = changes.before;
  const Json& after = changes.after;
  std::vector<std::string> out;
  describeMenu(at(before, "menu"), at(after, "menu"), out);
  describeAlert(at(before, "alert"), at(after, "alert"), out);
  if (!same(at(before, "pasteboard"), at(after, "pasteboard"))) {
    out.push_back("pasteboard: " + quoted(shortText(at(after, "pasteboard"))));
  }
  for (const EntityChange& app : changes.apps) describeApp(app.id, app.before, app.after, out);
  for (const EntityChange& icon : changes.icons) {
    describeIcon(icon.id, icon.before, icon.after, out);
  }
  if (!same(at(before, "frontmost"), at(after, "frontmost"))) {
    out.push_back("frontmost app: " + shortText(at(after, "frontmost")));
  }
  describeSettings(at(before, "settings"), at(after, "settings"), out);
  if (!same(at(before, "staticColor"), at(after, "staticColor"))) {
    out.push_back("static colour: " + colourText(at(before, "staticColor")) + " -> " +
                  colourText(at(after, "staticColor")));
  }
  describeSwitcher(at(before, "switcher"), at(after, "switcher"), out);
  describePrompts(at(before, "pendingPrompts"), at(after, "pendingPrompts"), out);
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
  const Json& apps = at(after, "apps");
  if (apps.is_object()) {
    for (const auto& [id, now] : apps.items()) {
      changes.apps.push_back({id, at(at(before, "apps"), id), now});
    }
  }
  for (const Json& was : list(at(before, "icons"))) {
    Json now;
    for (const Json& icon : list(at(after, "icons"))) {
      if (text(at(icon, "identifier")) == text(at(was, "identifier"))) now = icon;
    }
    changes.icons.push_back({text(at(was, "identifier")), was, now});
  }
  // Lists that only grow: the new entries.
  for (const char* name : {"hostEvents", "log"}) {
    auto& out = name[0] == 'h' ? changes.hostEvents : changes.log;
    for (size_t i = count(at(before, name)); i < count(at(after, name)); i++) {
      out.push_back(text(at(at(after, name), i)));
    }
  }
  return changes;
}

}  // namespace qv::sim
