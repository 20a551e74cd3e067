#include "settings_keys.h"

namespace qv::prefs {
namespace {

constexpr SettingKey on(const char* name) { return {name, KeyType::Boolean, true, 0, 0, 0}; }
constexpr SettingKey off(const char* name) { return {name, KeyType::Boolean, false, 0, 0, 0}; }

// In the order the settings pane shows them.
constexpr SettingKey kKeys[] = {
    on("uninstall"),
    on("clearBadges"),
    on("clearCaches"),
    on("copyBundleId"),
    on("appLock"),
    on("notifications"),
    on("banners"),
    on("demoteApp"),
    off("hideBadges"),
    on("hideWidget"),
    on("hideLines"),
    off("hideThickLines"),
    on("hideShare"),
    off("hideEdit"),
    off("hideDelete"),
    on("hideWidgetLabels"),
    off("useStaticColor"),
    on("adaptiveColor"),
    off("adaptiveWallColor"),
    on("pureColor"),
    {"menuColorAlpha", KeyType::Number, false, 0.6f, 0.0f, 1.0f},
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

}  // namespace qv::prefs
