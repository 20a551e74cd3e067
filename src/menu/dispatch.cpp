#include "menu/dispatch.h"

#include "menu/alerts.h"
#include "menu/app_actions.h"
#include "menu/app_lock_toggle.h"
#include "menu/catalogue.h"
#include "menu/notification_names.h"
#include "platform/foundation.h"
#include "platform/substrate.h"
#include "settings/app_lists.h"

namespace quorvel {

namespace {

bool isLibraryItem(id item) {
  return NS::String(msgSend<id>(item, SELECTOR("type"))).isEqualToString(NSSTR(kItemType));
}

NS::String titleOf(id item) { return NS::String(msgSend<id>(item, SELECTOR("localizedTitle"))); }

void postClearBadges(id) {
  NS::NotificationCenter::defaultCenter().postNotificationName(NSSTR(kClearBadgesNotification), nil,
                                                               nil);
}

// What each of our items does for the menu's app; App Lock, which may wait for authentication,
// is handled apart.
using AppAction = void (*)(id bundleIdentifier);

struct TitledAction {
  const char* title;
  AppAction run;
};

const TitledAction kActions[] = {
    {"Bundle Identifier", showBundleIdentifierAlert},
    {"Clear Badge", postClearBadges},
    {"Offload App", offloadApp},
    {"Clear Caches", clearCaches},
    {"Notifications", toggleNotifications},
    {"Banners", toggleBanners},
};

AppAction actionTitled(const NS::String& title) {
  for (const TitledAction& action : kActions) {
    if (title.isEqualToString(NS::String::from(action.title))) return action.run;
  }
  return nullptr;
}

}  // namespace

BOOL hookShouldActivate(id self, SEL cmd, id iconView, id item, NSUInteger index) {
  if (!isLibraryItem(item)) {
    if (isAppLocked(bundleID)) return NO;
    return qv::Hook<hookShouldActivate>::previous(self, cmd, iconView, item, index);
  }
  NS::String title = titleOf(item);
  if (title.isEqualToString(NSSTR("App Lock"))) {
    toggleAppLock(bundleID, nil);
  } else if (AppAction run = actionTitled(title)) {
    run(bundleID);
  }
  return NO;
}

// Version 12 closes the menu itself after each action.
void hook12ActivateShortcut(id self, SEL cmd, id shortcutController, id item) {
  if (!isLibraryItem(item)) {
    if (isAppLocked(bundleID)) return;
    qv::Hook<hook12ActivateShortcut>::previous(self, cmd, shortcutController, item);
    return;
  }
  NS::String title = titleOf(item);
  // App Lock dismisses the menu itself once the app is locked or unlocked.
  if (title.isEqualToString(NSSTR("App Lock"))) {
    toggleAppLock(bundleID, self);
    return;
  }
  AppAction run =
      title.isEqualToString(NSSTR("Uninstall App")) ? showUninstallAlert : actionTitled(title);
  if (!run) return;
  run(bundleID);
  dismissForceTouchMenu(self);
}

}  // namespace quorvel
