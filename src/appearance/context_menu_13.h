// Styling of the version-13 context menu, whose views also draw the host's alerts.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// Whether the action group laid out most recently belongs to an alert.
extern bool actionGroupIsAlert;

extern IMP prev13RepresentationAction;
extern IMP prev13BlankSeparatorLayout;
extern IMP prev13VibrantSeparatorLayout;
extern IMP prev13ShadowLayoutSubviews;
extern IMP prev13WrapperViewWillAppear;
extern IMP prev13GroupLayoutSubviews;

// UIInterfaceActionRepresentationView -action
id hook13RepresentationAction(id self, SEL cmd);
// _UIInterfaceActionBlankSeparatorView -layoutSubviews
void hook13BlankSeparatorLayout(id self, SEL cmd);
// _UIInterfaceActionVibrantSeparatorView -layoutSubviews
void hook13VibrantSeparatorLayout(id self, SEL cmd);
// _UICutoutShadowView -layoutSubviews
void hook13ShadowLayoutSubviews(id self, SEL cmd);
// SBHIconViewContextMenuWrapperViewController -viewWillAppear:
void hook13WrapperViewWillAppear(id self, SEL cmd, BOOL animated);
// UIInterfaceActionGroupView -layoutSubviews
void hook13GroupLayoutSubviews(id self, SEL cmd);

// Shared with version 12: hides a row whose action's title contains "Share".
void hideShareRow(id rowView, id action);

}  // namespace quorvel
