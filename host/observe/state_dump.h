// The home screen as whoever watches it sees it, read through the host's accessors: the whole
// observable state as one JSON object, and the parts of it that a watcher following changes
// command by command compares.
#pragma once

#include <string>

#include "springboard/home_screen.h"
#include "springboard/json.h"

namespace qv::host {

// What the dump shows of an icon view, as plain values (alphas and tint rounded as shown), so
// that many icons can be compared cheaply.
struct IconLook {
  double imageAlpha = 1, labelAlpha = 1, accessoryAlpha = 1;
  bool tinted = false;
  double tint[4] = {};  // red, green, blue, alpha
  bool labelHidden = false;
  enum class Badge { None, Shown, Hidden } badge = Badge::None;
  int placements = 0;
  bool operator==(const IconLook&) const = default;
};

// Everything: the device, the library's state and settings, the menu, icons, apps, screen,
// host events and log. Lists every data container afresh.
Json dumpState(const HomeScreen& home);

// Parts of the dump: one app's member of "apps", one icon view's entry of "icons" (its look,
// and the entry for a look), and the members that are neither per app nor per icon, without
// the log and host events and with only the app of the open menu. appState lists a data
// container only if the host announced a change under it since it was last listed.
Json appState(const AppState& app);
IconLook iconLook(const IconEntry& icon);
Json iconJson(const std::string& identifier, IconEntry::Kind kind, const IconLook& look);
Json sharedState(const HomeScreen& home);

// The open menu as the dump shows it; null when none is open.
Json menuJson(const HomeScreen& home);

}  // namespace qv::host
