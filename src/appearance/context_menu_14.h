// Styling of the version-14 context menu.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// _UIElasticContextMenuBackgroundView -setVisualEffectView:
void hook14SetVisualEffectView(id self, SEL cmd, id effectView);
// _UIContextMenuActionsListView -setDisplayedMenu:withAnimationStyle:alongsideAnimations:
void hook14SetDisplayedMenu(id self, SEL cmd, id menu, NSInteger style, id animations);
// _UIContextMenuListView -setDisplayedMenu: (versions 15 and 16): the list, and the backdrop it
// holds itself, as version 14's hooks style them.
void hook15SetDisplayedMenu(id self, SEL cmd, id menu);
// SBIconView -setLabelHidden:
void hook14SetLabelHidden(id self, SEL cmd, BOOL hidden);

}  // namespace quorvel
