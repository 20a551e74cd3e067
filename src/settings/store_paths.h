// Where the settings live and the names they are announced by.
#pragma once

#include "platform/foundation.h"

namespace quorvel {

// The preferences domains: the settings (also the settings property list's name) and the
// colour list.
inline constexpr const char* kSettingsDomain = "com.vantrelo88.quorvel";
inline constexpr const char* kColorsDomain = "com.vantrelo88.quorvel.color";

inline NS::String settingsPath() {
  return NSSTR("/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist");
}
inline NS::String colorSettingsPath() {
  return NSSTR("/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.color.plist");
}

// The Darwin notifications the settings program posts after a change.
inline constexpr const char* kReloadPrefsNotification = "com.vantrelo88.quorvel/ReloadPrefs";
inline constexpr const char* kReloadColorPrefsNotification =
    "com.vantrelo88.quorvel/ReloadColorPrefs";

}  // namespace quorvel
