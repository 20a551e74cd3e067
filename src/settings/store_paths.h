// Where the settings live and the names they are announced by.
#pragma once

#include "platform/foundation.h"

namespace quorvel {

// The settings domain, which is also the settings property list's name.
inline NS::String settingsDomain() { return NSSTR("com.vantrelo88.quorvel"); }
inline NS::String preferencesFolder() { return NSSTR("/var/jb/vmo/Library/Preferences"); }
inline NS::String settingsPath() {
  return NSSTR("/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist");
}
inline NS::String colorSettingsPath() {
  return NSSTR("/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.color.plist");
}

inline constexpr const char* kReloadPrefsNotification = "com.vantrelo88.quorvel/ReloadPrefs";
inline constexpr const char* kReloadColorPrefsNotification =
    "com.vantrelo88.quorvel/ReloadColorPrefs";

}  // namespace quorvel
