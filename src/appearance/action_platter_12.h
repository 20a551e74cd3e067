// Styling of the version-12 force-touch action platter.
#pragma once

#include "platform/coregraphics.h"
#include "platform/objc.h"

namespace quorvel {

// SBUIActionKeylineView -layoutSubviews
void hook12KeylineLayoutSubviews(id self, SEL cmd);
// SBUIIconForceTouchVisualEffectView -setEffectStrength:
void hook12SetEffectStrength(id self, SEL cmd, CGFloat strength);
// SBUIAppIconForceTouchController -_widgetViewControllerForDataProvider:
id hook12WidgetViewController(id self, SEL cmd, id dataProvider);
// SBUIActionPlatterViewController -setImagePosition:
void hook12PlatterSetImagePosition(id self, SEL cmd, NSInteger position);

}  // namespace quorvel
