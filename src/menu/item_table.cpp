#include "menu/item_table.h"

#include "common/notification_names.h"
#include "menu/alerts.h"
#include "menu/app_actions.h"
#include "menu/app_lock_toggle.h"

namespace quorvel {

namespace {

void postClearBadges(id) {
  NS::NotificationCenter::defaultCenter().postNotificationName(NSSTR(kClearBadgesNotification), nil,
                                                               nil);
}

// An action of the app alone; the menu's controller is not its concern.
template <void (*Run)(id)>
void forApp(id bundleIdentifier, id) {
  Run(bundleIdentifier);
}

constexpr SwitchState kNoSwitch = {nullptr, nullptr, nullptr, nullptr};

// The version-13 and later menus launch the home screen for the items that act there.
constexpr MenuItem kContextMenuItems[] = {
    {"Offload App", &SettingsCache::demoteApp, Launch::Springboard, true, kNoSwitch, "cloud.png",
     forApp<offloadApp>, false},
    {"Bundle Identifier", &SettingsCache::copyBundleId, Launch::Springboard, true, kNoSwitch,
     "copy.png", forApp<showBundleIdentifierAlert>, false},
    {"Clear Badge", &SettingsCache::clearBadges, Launch::Springboard, true, kNoSwitch,
     "badge13.png", forApp<postClearBadges>, false},
    {"Clear Caches", &SettingsCache::clearCaches, Launch::Nothing, false, kNoSwitch,
     "clearcache13.png", forApp<clearCaches>, false},
    {"App Lock",
     &SettingsCache::appLock,
     Launch::Nothing,
     false,
     {"lockedApps", "App is locked", "App is unlocked", "lock13.png"},
     "unlock13.png",
     toggleAppLock,
     true},
    {"Notifications",
     &SettingsCache::notifications,
     Launch::Nothing,
     false,
     {"disableNotifications", "Notifications Off", "Notifications On", "notificationoff13.png"},
     "notification13.png",
     forApp<toggleNotifications>,
     false},
    {"Banners",
     &SettingsCache::banners,
     Launch::Nothing,
     false,
     {"disableBanners", "Banners Off", "Banners On", "banneroff13.png"},
     "banner13.png",
     forApp<toggleBanners>,
     false},
};

// Version 12 has Uninstall, which launches the app itself, and no icon for Offload.
constexpr MenuItem kPlatterItems[] = {
    {"Offload App", &SettingsCache::demoteApp, Launch::Nothing, false, kNoSwitch, nullptr,
     forApp<offloadApp>, false},
    {"Bundle Identifier", &SettingsCache::copyBundleId, Launch::Nothing, false, kNoSwitch,
     "copy.png", forApp<showBundleIdentifierAlert>, false},
    {"Uninstall App", &SettingsCache::uninstall, Launch::App, false, kNoSwitch, "trash.png",
     forApp<showUninstallAlert>, false},
    {"Clear Badge", &SettingsCache::clearBadges, Launch::Nothing, false, kNoSwitch, "badge.png",
     forApp<postClearBadges>, false},
    {"Clear Caches", &SettingsCache::clearCaches, Launch::Nothing, false, kNoSwitch,
     "clearcache.png", forApp<clearCaches>, false},
    {"App Lock",
     &SettingsCache::appLock,
     Launch::Nothing,
     false,
     {"lockedApps", "App is locked", "App is unlocked", "lock.png"},
     "unlock.png",
     toggleAppLock,
     true},
    {"Notifications",
     &SettingsCache::notifications,
     Launch::Nothing,
     false,
     {"disableNotifications", "Notifications Disabled", "Notifications Enabled",
      "notificationoff.png"},
     "notification.png",
     forApp<toggleNotifications>,
     false},
    {"Banners",
     &SettingsCache::banners,
     Launch::Nothing,
     false,
     {"disableBanners", "Banners Disabled", "Banners Enabled", "banneroff.png"},
     "banner.png",
     forApp<toggleBanners>,
     false},
};

}  // namespace

qv::Span<MenuItem> contextMenuItems() { return kContextMenuItems; }
qv::Span<MenuItem> platterItems() { return kPlatterItems; }

const MenuItem* itemTitled(qv::Span<MenuItem> items, const NS::String& title) {
  for (const MenuItem& item : items) {
    if (title.isEqualToString(NS::String::from(item.title))) return &item;
  }
  return nullptr;
}

}  // namespace quorvel
