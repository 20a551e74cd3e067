#include "appearance/action_platter_12.h"

#include "appearance/color_sources.h"
#include "common/ivar_access.h"
#include "platform/substrate.h"

namespace quorvel {

void hook12KeylineLayoutSubviews(id self, SEL cmd) {
  qv::Hook<hook12KeylineLayoutSubviews>::previous(self, cmd);
  UI::View(self).setHidden(settings.hideLines);
}

// The backdrop is always at full strength and tinted with the wallpaper colour, whatever the
// colour settings say. Without a stored wallpaper colour every value but the tint is set.
void hook12SetEffectStrength(id self, SEL cmd, CGFloat) {
  id backdrop = readObjectIvar(self, "_targetBackdropViewSettings", nullptr);
  if (backdrop) {
    msgSend<void>(backdrop, SELECTOR("setUsesColorTintView:"), YES);
    msgSend<void>(backdrop, SELECTOR("setUsesColorBurnTintView:"), YES);
    msgSend<void>(backdrop, SELECTOR("setColorBurnTintLevel:"), 10.0);
    msgSend<void>(backdrop, SELECTOR("setColorBurnTintAlpha:"), 1.0);
    if (UI::Color wall = wallpaperColor()) {
      msgSend<void>(backdrop, SELECTOR("setColorTint:"), wall.get());
    }
    msgSend<void>(backdrop, SELECTOR("setColorTintAlpha:"), 0.7);
    msgSend<void>(backdrop, SELECTOR("setAppliesTintAndBlurSettings:"), YES);
  }
  qv::Hook<hook12SetEffectStrength>::previous(self, cmd, 1.0);
}

id hook12WidgetViewController(id self, SEL cmd, id dataProvider) {
  if (settings.hideWidget) return nil;
  return qv::Hook<hook12WidgetViewController>::previous(self, cmd, dataProvider);
}

void hook12PlatterSetImagePosition(id self, SEL cmd, NSInteger position) {
  UI::View view = UI::ViewController(self).view();
  runColorSteps(self, [&](const UI::Color& color) { view.setBackgroundColor(color); });
  qv::Hook<hook12PlatterSetImagePosition>::previous(self, cmd, position);
}

}  // namespace quorvel
