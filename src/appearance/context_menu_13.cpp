#include "appearance/context_menu_13.h"

#include "appearance/color_sources.h"
#include "appearance/context_menu_14.h"
#include "bootstrap/hook_support.h"
#include "bootstrap/ivar_access.h"

namespace quorvel {

bool actionGroupIsAlert = false;

IMP prev13RepresentationAction = nullptr;
IMP prev13BlankSeparatorLayout = nullptr;
IMP prev13VibrantSeparatorLayout = nullptr;
IMP prev13ShadowLayoutSubviews = nullptr;
IMP prev13WrapperViewWillAppear = nullptr;
IMP prev13GroupLayoutSubviews = nullptr;

// Only ever hides: a row that does not match keeps its state.
void hideShareRow(id rowView, id action) {
  NS::String title(msgSend<id>(action, SELECTOR("title")));
  if (settings.hideShare && title.containsString(NSSTR("Share"))) UI::View(rowView).setHidden(true);
}

id hook13RepresentationAction(id self, SEL cmd) {
  id action = callPrevious<id>(prev13RepresentationAction, self, cmd);
  hideShareRow(self, action);
  return action;
}

// Separators after an alert's group stay as the host draws them.
void hook13BlankSeparatorLayout(id self, SEL cmd) {
  callPrevious<void>(prev13BlankSeparatorLayout, self, cmd);
  UI::View(self).setHidden(settings.hideThickLines && !actionGroupIsAlert);
}

void hook13VibrantSeparatorLayout(id self, SEL cmd) {
  callPrevious<void>(prev13VibrantSeparatorLayout, self, cmd);
  UI::View(self).setHidden(settings.hideLines && !actionGroupIsAlert);
}

void hook13ShadowLayoutSubviews(id self, SEL cmd) {
  styleCutoutShadow(self);
  callPrevious<void>(prev13ShadowLayoutSubviews, self, cmd);
}

void hook13WrapperViewWillAppear(id self, SEL cmd, BOOL animated) {
  stylePreviewPlatter(self);
  callPrevious<void>(prev13WrapperViewWillAppear, self, cmd, animated);
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
  callPrevious<void>(prev13GroupLayoutSubviews, self, cmd);
}

}  // namespace quorvel
