#include "appearance/context_menu_14.h"

#include "appearance/color_sources.h"
#include "bootstrap/hook_support.h"

namespace quorvel {

IMP prev14SetVisualEffectView = nullptr;
IMP prev14ShadowLayoutSubviews = nullptr;
IMP prev14WrapperViewWillAppear = nullptr;
IMP prev14SetDisplayedMenu = nullptr;
IMP prev14SetLabelHidden = nullptr;

void styleCutoutShadow(id shadowView) { UI::View(shadowView).setHidden(settings.hideWidget); }

// The preview is coloured even while it is hidden.
void stylePreviewPlatter(id wrapperController) {
  UI::View view = UI::ViewController(wrapperController).view();
  view.setHidden(settings.hideWidget);
  runColorSteps(wrapperController, [&](const UI::Color& color) { view.setBackgroundColor(color); });
}

void hook14SetVisualEffectView(id self, SEL cmd, id effectView) {
  UI::View(self).setAlpha(settings.pureColor ? 0.4 : 1.0);
  callPrevious<void>(prev14SetVisualEffectView, self, cmd, effectView);
}

void hook14ShadowLayoutSubviews(id self, SEL cmd) {
  styleCutoutShadow(self);
  callPrevious<void>(prev14ShadowLayoutSubviews, self, cmd);
}

void hook14WrapperViewWillAppear(id self, SEL cmd, BOOL animated) {
  stylePreviewPlatter(self);
  callPrevious<void>(prev14WrapperViewWillAppear, self, cmd, animated);
}

void hook14SetDisplayedMenu(id self, SEL cmd, id menu, NSInteger style, id animations) {
  UI::View list(self);
  runColorSteps(self, [&](const UI::Color& color) {
    list.setBackgroundColor(color);
    list.layer().setCornerRadius(kMenuCornerRadius);
  });
  callPrevious<void>(prev14SetDisplayedMenu, self, cmd, menu, style, animations);
}

// A widget icon's label stays hidden while hideWidgetLabels is on; other icons are untouched.
void hook14SetLabelHidden(id self, SEL cmd, BOOL hidden) {
  NS::Object icon(msgSend<id>(self, SELECTOR("icon")));
  bool widget = icon.respondsToSelector(SELECTOR("initWithWidget:"));
  BOOL pass = hidden || (settings.hideWidgetLabels && widget);
  callPrevious<void>(prev14SetLabelHidden, self, cmd, pass);
}

}  // namespace quorvel
