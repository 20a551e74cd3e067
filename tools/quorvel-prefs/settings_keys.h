// The settings the library reads from its property list, with their types and defaults: the
// one table the settings program checks keys and values against.
#pragma once

#include <span>
#include <string_view>

namespace qv::prefs {

inline constexpr const char* kPreferencesFolder = "/var/jb/vmo/Library/Preferences";
// The preferences domains, kept in the files below.
inline constexpr const char* kSettingsDomain = "com.vantrelo88.quorvel";
inline constexpr const char* kColorsDomain = "com.vantrelo88.quorvel.color";
inline constexpr const char* kSettingsPath =
    "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist";
inline constexpr const char* kColorsPath =
    "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.color.plist";
inline constexpr const char* kReloadPrefsNotification = "com.vantrelo88.quorvel/ReloadPrefs";
inline constexpr const char* kReloadColorsNotification = "com.vantrelo88.quorvel/ReloadColorPrefs";
inline constexpr const char* kStaticColorKey = "staticColor";

enum class KeyType { Boolean, Number };

struct SettingKey {
  const char* name;
  KeyType type;
  bool booleanDefault;  // booleans
  float numberDefault;  // numbers: a 32-bit float, as the library keeps it
  float minimum;
  float maximum;
  const char* label;  // as the phone's settings pane shows it
  const char* group;  // the pane's section
};

std::span<const SettingKey> settingKeys();
const SettingKey* findSettingKey(std::string_view name);

// The lists of bundle identifiers the library itself keeps in the same file. The settings
// program shows them but never changes them.
std::span<const char* const> appListKeys();
bool isAppListKey(std::string_view name);

const char* typeName(KeyType type);

}  // namespace qv::prefs
