// The menu colour's three sources and the fixed order in which they apply.
#pragma once

#include "platform/uikit.h"
#include "settings/settings_cache.h"
#include "settings/static_color.h"

namespace quorvel {

// SBFStaticWallpaperView -_computeAverageColor: records the wallpaper's colour as "wallColor".
id hookComputeAverageColor(id self, SEL cmd);
// PBUIStaticWallpaperView -_computeAverageColor (version 16), the same.
id hook16ComputeAverageColor(id self, SEL cmd);

// The average colour of `bundleID`'s icon, computed by `styled`'s averageColorOfImage:.
UI::Color iconColor(id styled);

// The colour decoded from "wallColor"; nil when it is absent or cannot be decoded.
UI::Color wallpaperColor();

// The corner radius of a context menu painted in one of these colours.
constexpr CGFloat kMenuCornerRadius = 14.5;

// Runs `apply` with each enabled source's colour: static, then icon, then wallpaper. The last
// enabled one is the colour that stays; without any, `apply` never runs.
template <class Apply>
void runColorSteps(id styled, Apply apply) {
  if (settings.useStaticColor) apply(UI::Color(staticColor));
  if (settings.adaptiveColor) apply(iconColor(styled));
  if (settings.adaptiveWallColor) {
    if (UI::Color wall = wallpaperColor()) apply(wall);
  }
}

}  // namespace quorvel
