#include "menu/app_lock_toggle.h"

#include "common/authentication.h"
#include "common/notification_names.h"
#include "common/unavailable.h"
#include "platform/foundation.h"
#include "platform/ownership.h"
#include "settings/app_lists.h"

namespace quorvel {

namespace {

void post(const char* name) {
  NS::NotificationCenter::defaultCenter().postNotificationName(NS::String::from(name), nil, nil);
}

void lock(id app, id forceTouchController) {
  NS::MutableArray list = mutableListNamed("lockedApps");
  list.addObject(app);
  storeList("lockedApps", list);
  if (forceTouchController) post(kKillAppNotification);
  post(kDimIconNotification);
  if (forceTouchController) dismissForceTouchMenu(forceTouchController);
}

// The app is captured when the prompt starts, so a menu prepared meanwhile for another app
// does not redirect the unlock; the controller is held weakly, as the menu may be gone.
void unlockAfterAuthentication(id app, id forceTouchController) {
  qv::StrongRef<id> target(app);
  qv::WeakRef<id> controller(forceTouchController);
  bool platter = forceTouchController != nil;
  authenticate([target, controller, platter](bool succeeded) {
    if (!succeeded) return;
    NS::MutableArray list = mutableListNamed("lockedApps");
    list.removeObject(target);
    storeList("lockedApps", list);
    post(kDimIconNotification);
    if (platter) dismissForceTouchMenu(controller.load());
  });
}

}  // namespace

void dismissForceTouchMenu(id controller) {
  msgSend<void>(controller, SELECTOR("dismissAnimated:withCompletionHandler:"), YES,
                static_cast<id>(nil));
}

void toggleAppLock(id app, id forceTouchController) {
  // Without an app there is nothing to lock or unlock.
  if (!app) {
    if (forceTouchController) dismissForceTouchMenu(forceTouchController);
    return;
  }
  if (isAppLocked(app)) {
    unlockAfterAuthentication(app, forceTouchController);
  } else if (classNamed("LAContext", "App Lock's unlock prompt")) {
    lock(app, forceTouchController);
  } else {
    // Nothing could unlock it again: an app is never locked where no prompt can appear.
    if (forceTouchController) dismissForceTouchMenu(forceTouchController);
  }
}

}  // namespace quorvel
