// Styling of the version-14 context menu.
#pragma once

#include "platform/objc.h"

namespace quorvel {

extern IMP prev14SetVisualEffectView;
extern IMP prev14ShadowLayoutSubviews;
extern IMP prev14WrapperViewWillAppear;
extern IMP prev14SetDisplayedMenu;
extern IMP prev14SetLabelHidden;

// _UIElasticContextMenuBackgroundView -setVisualEffectView:
void hook14SetVisualEffectView(id self, SEL cmd, id effectView);
// _UICutoutShadowView -layoutSubviews
void hook14ShadowLayoutSubviews(id self, SEL cmd);
// SBHIconViewContextMenuWrapperViewController -viewWillAppear:
void hook14WrapperViewWillAppear(id self, SEL cmd, BOOL animated);
// _UIContextMenuActionsListView -setDisplayedMenu:withAnimationStyle:alongsideAnimations:
void hook14SetDisplayedMenu(id self, SEL cmd, id menu, NSInteger style, id animations);
// SBIconView -setLabelHidden:
void hook14SetLabelHidden(id self, SEL cmd, BOOL hidden);

// Shared with version 13: the preview shadow and the preview platter.
void styleCutoutShadow(id shadowView);
void stylePreviewPlatter(id wrapperController);

}  // namespace quorvel
