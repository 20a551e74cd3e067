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

// An item that is no switch.
constexpr MenuItem once(const char* title, bool SettingsCache::*offered, Launch launch,
                        const char* icon, void (*act)(id, id)) {
  return {title, offered, launch, {nullptr, nullptr, nullptr, nullptr}, icon, act, false};
}

// A switch: its subtitle and icon follow its list; it launches nothing.
constexpr MenuItem toggle(const char* title, bool SettingsCache::*offered, SwitchState state,
                          const char* icon, void (*act)(id, id), bool closesMenuItself = false) {
  return {title, offered, Launch::Nothing, state, icon, act, closesMenuItself};
}

// The version-13 and later menus launch the home screen for the items that act there.
constexpr MenuItem kContextMenuItems[] = {
    once("Offload App", &SettingsCache::demoteApp, Launch::Springboard, "cloud.png",
         forApp<offloadApp>),
    once("Bundle Identifier", &SettingsCache::copyBundleId, Launch::Springboard, "copy.png",
         forApp<showBundleIdentifierAlert>),
    once("Clear Badge", &SettingsCache::clearBadges, Launch::Springboard, "badge13.png",
         forApp<postClearBadges>),
    once("Clear Caches", &SettingsCache::clearCaches, Launch::Nothing, "clearcache13.png",
         forApp<clearCaches>),
    toggle("App Lock", &SettingsCache::appLock,
           {"lockedApps", "App is locked", "App is unlocked", "lock13.png"}, "unlock13.png",
           toggleAppLock, true),
    toggle(
        "Notifications", &SettingsCache::notifications,
        {"disableNotifications", "Notifications Off", "Notifications On", "notificationoff13.png"},
        "notification13.png", forApp<toggleNotifications>),
    toggle("Banners", &SettingsCache::banners,
           {"disableBanners", "Banners Off", "Banners On", "banneroff13.png"}, "banner13.png",
           forApp<toggleBanners>),
};

// Version 12 has Uninstall, which launches the app itself, and no icon for Offload.
constexpr MenuItem kPlatterItems[] = {
    once("Offload App", &SettingsCache::demoteApp, Launch::Nothing, nullptr, forApp<offloadApp>),
    once("Bundle Identifier", &SettingsCache::copyBundleId, Launch::Nothing, "copy.png",
         forApp<showBundleIdentifierAlert>),
    once("Uninstall App", &SettingsCache::uninstall, Launch::App, "trash.png",
         forApp<showUninstallAlert>),
    once("Clear Badge", &SettingsCache::clearBadges, Launch::Nothing, "badge.png",
         forApp<postClearBadges>),
    once("Clear Caches", &SettingsCache::clearCaches, Launch::Nothing, "clearcache.png",
         forApp<clearCaches>),
    toggle("App Lock", &SettingsCache::appLock,
           {"lockedApps", "App is locked", "App is unlocked", "lock.png"}, "unlock.png",
           toggleAppLock, true),
    toggle("Notifications", &SettingsCache::notifications,
           {"disableNotifications", "Notifications Disabled", "Notifications Enabled",
            "notificationoff.png"},
           "notification.png", forApp<toggleNotifications>),
    toggle("Banners", &SettingsCache::banners,
           {"disableBanners", "Banners Disabled", "Banners Enabled", "banneroff.png"}, "banner.png",
           forApp<toggleBanners>),
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
