// Activation of a chosen menu item: the library's items run their action, host items of a
// locked app are refused.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// SBHIconManager -iconView:shouldActivateApplicationShortcutItem:atIndex: (versions 14, 13)
BOOL hookShouldActivate(id self, SEL cmd, id iconView, id item, NSUInteger index);
// SBUIAppIconForceTouchController
//   -appIconForceTouchShortcutViewController:activateApplicationShortcutItem: (version 12)
void hook12ActivateShortcut(id self, SEL cmd, id shortcutController, id item);

}  // namespace quorvel
