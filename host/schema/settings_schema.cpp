#include "schema/settings_schema.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace qv::prefs {
namespace {

constexpr const char* kItems = "Menu Items";
constexpr const char* kHide = "Hide";
constexpr const char* kColour = "Menu Colour";

constexpr SettingKey on(const char* name, const char* label, const char* group) {
  return {name, KeyType::Boolean, true, 0, 0, 0, label, group};
}
constexpr SettingKey off(const char* name, const char* label, const char* group) {
  return {name, KeyType::Boolean, false, 0, 0, 0, label, group};
}

// In the order the settings pane shows them.
constexpr SettingKey kKeys[] = {
    on("uninstall", "Uninstall App (iOS 12)", kItems),
    on("clearBadges", "Clear Badge", kItems),
    on("clearCaches", "Clear Caches", kItems),
    on("copyBundleId", "Bundle Identifier", kItems),
    on("appLock", "App Lock", kItems),
    on("notifications", "Notifications", kItems),
    on("banners", "Banners", kItems),
    on("demoteApp", "Offload App", kItems),
    off("hideBadges", "Badges", kHide),
    on("hideWidget", "Widget Preview", kHide),
    on("hideLines", "Separator Lines", kHide),
    off("hideThickLines", "Thick Separators", kHide),
    on("hideShare", "Share", kHide),
    off("hideEdit", "Edit Home Screen", kHide),
    off("hideDelete", "Remove App", kHide),
    on("hideWidgetLabels", "Widget Labels", kHide),
    off("useStaticColor", "Static Colour", kColour),
    on("adaptiveColor", "Icon Colour", kColour),
    off("adaptiveWallColor", "Wallpaper Colour", kColour),
    on("pureColor", "Pure Colour", kColour),
    {"menuColorAlpha", KeyType::Number, false, 0.6f, 0.0f, 1.0f, "Icon Colour Opacity", kColour},
};

constexpr const char* kAppLists[] = {"lockedApps", "disableNotifications", "disableBanners"};

}  // namespace

std::span<const SettingKey> settingKeys() { return kKeys; }

const SettingKey* findSettingKey(std::string_view name) {
  for (const SettingKey& key : kKeys) {
    if (name == key.name) return &key;
  }
  return nullptr;
}

std::span<const char* const> appListKeys() { return kAppLists; }

bool isAppListKey(std::string_view name) {
  for (const char* list : kAppLists) {
    if (name == list) return true;
  }
  return false;
}

const char* typeName(KeyType type) { return type == KeyType::Boolean ? "boolean" : "number"; }

std::optional<bool> parseBooleanWord(std::string_view text) {
  std::string word(text);
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* yes : {"true", "yes", "on", "1"}) {
    if (word == yes) return true;
  }
  for (const char* no : {"false", "no", "off", "0"}) {
    if (word == no) return false;
  }
  return std::nullopt;
}

std::optional<double> parseDecimal(std::string_view text) {
  // strtod also takes "nan", "inf", hexadecimal and leading blanks; only plain decimals pass.
  if (text.empty() || text.size() > 64) return std::nullopt;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' &&
        c != 'e' && c != 'E') {
      return std::nullopt;
    }
  }
  std::string copy(text);
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || errno == ERANGE || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::string floatText(float value) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc() ? std::string(buf, end) : "?";
}

std::string defaultText(const SettingKey& key) {
  if (key.type == KeyType::Boolean) return key.booleanDefault ? "true" : "false";
  return floatText(key.numberDefault);
}

ParsedSetting parseSettingValue(const SettingKey& key, std::string_view text) {
  const std::string shown = "\"" + std::string(text) + "\"";
  if (key.type == KeyType::Boolean) {
    if (std::optional<bool> value = parseBooleanWord(text)) return {*value, ""};
    return {std::nullopt, std::string(key.name) +
                              " takes a boolean (true/false, yes/no, on/off, 1/0), not " + shown};
  }
  std::optional<double> value = parseDecimal(text);
  if (!value || *value < key.minimum || *value > key.maximum) {
    return {std::nullopt, std::string(key.name) + " takes a number from " + floatText(key.minimum) +
                              " to " + floatText(key.maximum) + ", not " + shown};
  }
  return {*value == 0 ? 0.0 : *value, ""};  // no "-0" in the file
}

}  // namespace qv::prefs
