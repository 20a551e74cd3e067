// The preview above a context menu (versions 14 and 13): the app's widget platter and its
// shadow, hidden by hideWidget; the platter is coloured like the menu.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// _UICutoutShadowView -layoutSubviews
void hookShadowLayoutSubviews(id self, SEL cmd);
// SBHIconViewContextMenuWrapperViewController -viewWillAppear:
void hookWrapperViewWillAppear(id self, SEL cmd, BOOL animated);

}  // namespace quorvel
