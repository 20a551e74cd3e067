// Views the version-14 and version-13 context menus share.
#pragma once

#include <string>

#include "springboard/springboard_internal.h"

namespace qv::host {

struct ContextActionViewObj : UIViewObj {
  Strong titleLabel;
  Strong subtitleLabel;
  Strong imageView;  // version 14: the trailing image view; version 13: the image view
};

struct BackgroundViewObj : UIViewObj {
  Strong visualEffectView;
};

struct ActionsListObj : UIViewObj {
  Strong displayedMenu;
  long animationStyle = 0;
};

inline ContextActionViewObj* actionView(id v) { return fields<ContextActionViewObj>(v); }

// A new autoreleased view of the class, with a frame.
id newView(const char* className);
id newLabel(const std::string& text);

// Defines the shared classes (shadow, preview controller, icon manager, the action view with
// its labels); returns the action view class for the family to extend.
Class registerContextMenuCommonClasses();

}  // namespace qv::host
