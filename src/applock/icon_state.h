// Icon state: badges hidden by setting, locked apps' icons dimmed.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// SBIconView
void hookIconLayoutSubviews(id self, SEL cmd);
BOOL hookIconIsCrossfading(id self, SEL cmd);
// The location is a long long before version 13 and a string (an object) from 13 on; the hook
// takes it as the family's host declares it and hands it on untouched.
template <class Location>
void hookIconSetLocation(id self, SEL cmd, Location location);
extern template void hookIconSetLocation<long long>(id, SEL, long long);
extern template void hookIconSetLocation<id>(id, SEL, id);
void iconCheckBadge(id self, SEL cmd);  // added; also the checkBadge observer
void iconDimIcon(id self, SEL cmd);     // added; also the dimIcon observer

}  // namespace quorvel
