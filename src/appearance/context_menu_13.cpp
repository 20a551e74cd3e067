#include "appearance/context_menu_13.h"

#include "appearance/color_sources.h"
#include "common/ivar_access.h"
#include "platform/substrate.h"

namespace quorvel {

bool actionGroupIsAlert = false;

// Separators after an alert's group stay as the host draws them.
void hook13BlankSeparatorLayout(id self, SEL cmd) {
  qv::Hook<hook13BlankSeparatorLayout>::previous(self, cmd);
  UI::View(self).setHidden(settings.hideThickLines && !actionGroupIsAlert);
}

void hook13VibrantSeparatorLayout(id self, SEL cmd) {
  qv::Hook<hook13VibrantSeparatorLayout>::previous(self, cmd);
  UI::View(self).setHidden(settings.hideLines && !actionGroupIsAlert);
}

// An alert's group keeps the host's look; a menu's group is coloured and rounded, and its
// own background view gives way to the colour while pureColor is on.
void hook13GroupLayoutSubviews(id self, SEL cmd) {
  actionGroupIsAlert = msgSend<id>(self, SELECTOR("_alertController")) != nil;
  if (!actionGroupIsAlert) {
    UI::View group(self);
    runColorSteps(self, [&](const UI::Color& color) {
      group.setBackgroundColor(color);
      group.layer().setCornerRadius(kMenuCornerRadius);
      bool found = false;
      id background = readObjectIvar(self, "_backgroundView", &found);
      if (found) UI::View(background).setHidden(settings.pureColor);
    });
  }
  qv::Hook<hook13GroupLayoutSubviews>::previous(self, cmd);
}

}  // namespace quorvel
