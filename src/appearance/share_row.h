// The host's Share row of a menu, hidden by hideShare where the menu is built of rows that each
// ask for their action (version 13's action views, version 12's platter).
#pragma once

#include "platform/objc.h"

namespace quorvel {

// UIInterfaceActionRepresentationView -action (version 13), SBUIActionView -action (version 12):
// the row is hidden when its action's title contains "Share". It only ever hides: a row that
// does not match keeps its state.
id hookRowAction(id self, SEL cmd);

}  // namespace quorvel
