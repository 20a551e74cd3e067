// The structs behind the version-12 platter's objects, for its own source and whoever watches
// the platter.
#pragma once

#include <string>
#include <vector>

#include "uikit/view_objects.h"

namespace qv::host {

struct ForceTouchControllerObj : objc_object {
  Strong dataProvider;
  bool dismissed = false;
  int dismissals = 0;
  int widgetRequests = 0;  // times the host's own widget lookup ran
};

struct UIActionObj : objc_object {
  Strong title, subtitle, image, badgeView, handler;
};

// The backdrop settings record every setter call in order.
struct BackdropSettingsObj : objc_object {
  bool usesColorTintView = false;
  bool usesColorBurnTintView = false;
  double colorBurnTintLevel = 0;
  double colorBurnTintAlpha = 0;
  Strong colorTint;
  double colorTintAlpha = 0;
  bool appliesTintAndBlurSettings = false;
  std::vector<std::string> calls;
};

inline BackdropSettingsObj* backdrop(id settings) { return fields<BackdropSettingsObj>(settings); }

struct EffectViewObj : UIViewObj {
  Strong backdropSettings;  // the instance variable _targetBackdropViewSettings
  double effectStrength = 0;
};

}  // namespace qv::host
