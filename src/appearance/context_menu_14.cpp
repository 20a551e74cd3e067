#include "appearance/context_menu_14.h"

#include "appearance/color_sources.h"
#include "platform/substrate.h"

namespace quorvel {

void hook14SetVisualEffectView(id self, SEL cmd, id effectView) {
  UI::View(self).setAlpha(settings.pureColor ? 0.4 : 1.0);
  qv::Hook<hook14SetVisualEffectView>::previous(self, cmd, effectView);
}

namespace {

void colourList(id self) {
  UI::View list(self);
  runColorSteps(self, [&](const UI::Color& color) {
    list.setBackgroundColor(color);
    list.layer().setCornerRadius(kMenuCornerRadius);
  });
}

}  // namespace

void hook14SetDisplayedMenu(id self, SEL cmd, id menu, NSInteger style, id animations) {
  colourList(self);
  qv::Hook<hook14SetDisplayedMenu>::previous(self, cmd, menu, style, animations);
}

void hook15SetDisplayedMenu(id self, SEL cmd, id menu) {
  UI::View(msgSend<id>(self, SELECTOR("backgroundView"))).setAlpha(settings.pureColor ? 0.4 : 1.0);
  colourList(self);
  qv::Hook<hook15SetDisplayedMenu>::previous(self, cmd, menu);
}

// A widget icon's label stays hidden while hideWidgetLabels is on; other icons are untouched.
void hook14SetLabelHidden(id self, SEL cmd, BOOL hidden) {
  NS::Object icon(msgSend<id>(self, SELECTOR("icon")));
  bool widget = icon.respondsToSelector(SELECTOR("initWithWidget:"));
  BOOL pass = hidden || (settings.hideWidgetLabels && widget);
  qv::Hook<hook14SetLabelHidden>::previous(self, cmd, pass);
}

}  // namespace quorvel
