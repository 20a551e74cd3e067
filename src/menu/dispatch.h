// Activation of a chosen menu item: the library's items run their action, host items of a
// locked app are refused.
#pragma once

#include "platform/objc.h"

namespace quorvel {

extern IMP prev14ShouldActivate;
extern IMP prev13ShouldActivate;
extern IMP prev12ActivateShortcut;

// SBHIconManager -iconView:shouldActivateApplicationShortcutItem:atIndex: (versions 14, 13)
BOOL hook14ShouldActivate(id self, SEL cmd, id iconView, id item, NSUInteger index);
BOOL hook13ShouldActivate(id self, SEL cmd, id iconView, id item, NSUInteger index);
// SBUIAppIconForceTouchController
//   -appIconForceTouchShortcutViewController:activateApplicationShortcutItem: (version 12)
void hook12ActivateShortcut(id self, SEL cmd, id shortcutController, id item);

}  // namespace quorvel
