// The App Lock item: locks at once, unlocks after device-owner authentication.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// Toggles App Lock for `bundleIdentifier`. `forceTouchController` is the version-12 menu's
// controller (nil in the other families): its menu is dismissed after locking or after a
// successful unlock, and it is told to quit the locked app first.
void toggleAppLock(id bundleIdentifier, id forceTouchController);

// Closes a version-12 force-touch menu.
void dismissForceTouchMenu(id controller);

}  // namespace quorvel
