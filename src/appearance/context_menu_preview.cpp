#include "appearance/context_menu_preview.h"

#include "appearance/color_sources.h"
#include "platform/substrate.h"

namespace quorvel {

void hookShadowLayoutSubviews(id self, SEL cmd) {
  UI::View(self).setHidden(settings.hideWidget);
  qv::Hook<hookShadowLayoutSubviews>::previous(self, cmd);
}

// The preview is coloured even while it is hidden.
void hookWrapperViewWillAppear(id self, SEL cmd, BOOL animated) {
  UI::View view = UI::ViewController(self).view();
  view.setHidden(settings.hideWidget);
  runColorSteps(self, [&](const UI::Color& color) { view.setBackgroundColor(color); });
  qv::Hook<hookWrapperViewWillAppear>::previous(self, cmd, animated);
}

}  // namespace quorvel
