// Icon state: badges hidden by setting, locked apps' icons dimmed.
#pragma once

#include "platform/objc.h"

namespace quorvel {

extern IMP prevIconLayoutSubviews;
extern IMP prevIconIsCrossfading;
extern IMP prevIconSetLocation;

// SBIconView
void hookIconLayoutSubviews(id self, SEL cmd);
BOOL hookIconIsCrossfading(id self, SEL cmd);
void hookIconSetLocation(id self, SEL cmd, NSInteger location);
void iconCheckBadge(id self, SEL cmd);  // added; also the checkBadge observer
void iconDimIcon(id self, SEL cmd);     // added; also the dimIcon observer

}  // namespace quorvel
