#include "settings_keys.h"

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

}  // namespace qv::prefs
