#include "menu/dispatch.h"

#include "bootstrap/hook_support.h"
#include "menu/alerts.h"
#include "menu/app_actions.h"
#include "menu/app_lock_toggle.h"
#include "menu/catalogue.h"
#include "menu/notification_names.h"
#include "platform/foundation.h"
#include "settings/app_lists.h"

namespace quorvel {

IMP prev14ShouldActivate = nullptr;
IMP prev13ShouldActivate = nullptr;
IMP prev12ActivateShortcut = nullptr;

namespace {

bool isLibraryItem(id item) {
  return NS::String(msgSend<id>(item, SELECTOR("type"))).isEqualToString(NSSTR(kItemType));
}

NS::String titleOf(id item) { return NS::String(msgSend<id>(item, SELECTOR("localizedTitle"))); }

void postClearBadges() {
  NS::NotificationCenter::defaultCenter().postNotificationName(NSSTR(kClearBadgesNotification), nil,
                                                               nil);
}

BOOL shouldActivate(IMP previous, id self, SEL cmd, id iconView, id item, NSUInteger index) {
  if (!isLibraryItem(item)) {
    if (isAppLocked(bundleID)) return NO;
    return callPrevious<BOOL>(previous, self, cmd, iconView, item, index);
  }
  NS::String title = titleOf(item);
  if (title.isEqualToString(NSSTR("Bundle Identifier"))) showBundleIdentifierAlert(bundleID);
  if (title.isEqualToString(NSSTR("Clear Badge"))) postClearBadges();
  if (title.isEqualToString(NSSTR("Offload App"))) offloadApp(bundleID);
  if (title.isEqualToString(NSSTR("App Lock"))) toggleAppLock(bundleID, nil);
  if (title.isEqualToString(NSSTR("Clear Caches"))) clearCaches(bundleID);
  if (title.isEqualToString(NSSTR("Notifications"))) toggleNotifications(bundleID);
  if (title.isEqualToString(NSSTR("Banners"))) toggleBanners(bundleID);
  return NO;
}

}  // namespace

BOOL hook14ShouldActivate(id self, SEL cmd, id iconView, id item, NSUInteger index) {
  return shouldActivate(prev14ShouldActivate, self, cmd, iconView, item, index);
}

BOOL hook13ShouldActivate(id self, SEL cmd, id iconView, id item, NSUInteger index) {
  return shouldActivate(prev13ShouldActivate, self, cmd, iconView, item, index);
}

// Version 12 closes the menu itself after each action.
void hook12ActivateShortcut(id self, SEL cmd, id shortcutController, id item) {
  if (!isLibraryItem(item)) {
    if (isAppLocked(bundleID)) return;
    callPrevious<void>(prev12ActivateShortcut, self, cmd, shortcutController, item);
    return;
  }
  NS::String title = titleOf(item);
  if (title.isEqualToString(NSSTR("Uninstall App"))) {
    showUninstallAlert(bundleID);
    dismissForceTouchMenu(self);
  }
  if (title.isEqualToString(NSSTR("Clear Badge"))) {
    postClearBadges();
    dismissForceTouchMenu(self);
  }
  if (title.isEqualToString(NSSTR("Offload App"))) {
    offloadApp(bundleID);
    dismissForceTouchMenu(self);
  }
  if (title.isEqualToString(NSSTR("App Lock"))) toggleAppLock(bundleID, self);
  if (title.isEqualToString(NSSTR("Clear Caches"))) {
    clearCaches(bundleID);
    dismissForceTouchMenu(self);
  }
  if (title.isEqualToString(NSSTR("Bundle Identifier"))) {
    showBundleIdentifierAlert(bundleID);
    dismissForceTouchMenu(self);
  }
  if (title.isEqualToString(NSSTR("Notifications"))) {
    toggleNotifications(bundleID);
    dismissForceTouchMenu(self);
  }
  if (title.isEqualToString(NSSTR("Banners"))) {
    toggleBanners(bundleID);
    dismissForceTouchMenu(self);
  }
}

}  // namespace quorvel
