// Switcher privacy blur: a locked app's page and cards are blurred.
#pragma once

#include "platform/coregraphics.h"
#include "platform/objc.h"

namespace quorvel {

// SBAppSwitcherPageView
id hookPageInitWithFrame(id self, SEL cmd, CGRect frame);
void hookPageSetOverlay(id self, SEL cmd, id overlay, BOOL animated);
// Versions 15 and 16, which have only the overlay property's setter.
void hook15PageSetOverlay(id self, SEL cmd, id overlay);
void pageRemoveFilter(id self, SEL cmd);  // added; also the removeFilter observer

// SBAppSwitcherReusableSnapshotView -layoutSubviews
void hook14CardLayoutSubviews(id self, SEL cmd);
void hook13CardLayoutSubviews(id self, SEL cmd);
void hook12CardLayoutSubviews(id self, SEL cmd);

}  // namespace quorvel
