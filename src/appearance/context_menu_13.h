// Styling of the version-13 context menu, whose views also draw the host's alerts.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// Whether the action group laid out most recently belongs to an alert.
extern bool actionGroupIsAlert;

// _UIInterfaceActionBlankSeparatorView -layoutSubviews
void hook13BlankSeparatorLayout(id self, SEL cmd);
// _UIInterfaceActionVibrantSeparatorView -layoutSubviews
void hook13VibrantSeparatorLayout(id self, SEL cmd);
// UIInterfaceActionGroupView -layoutSubviews
void hook13GroupLayoutSubviews(id self, SEL cmd);

}  // namespace quorvel
