// The library's settings as every program outside it knows them: the preferences domains,
// their files and reload notifications, and each key with its type, default and range. The
// settings program checks keys and values against it, the simulator's `setting` takes its keys,
// the dump lists the settings in its order, and a test holds it against what the library
// itself reports.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

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

// The notifications the library posts to its own observers inside the home screen.
inline constexpr const char* kLibraryNotifications[] = {
    "com.vantrelo88.quorvel/clearBadges", "com.vantrelo88.quorvel/killApp",
    "com.vantrelo88.quorvel/dimIcon", "com.vantrelo88.quorvel/checkBadge",
    "com.vantrelo88.quorvel/removeFilter"};

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

using SettingValue = std::variant<bool, double>;

// true/false, yes/no, on/off, 1/0, in any case.
std::optional<bool> parseBooleanWord(std::string_view text);

// A finite decimal number written in full ("0.5", ".5", "5e-1"); nothing otherwise (no blanks,
// hexadecimal, "inf" or "nan", nor one too large or too small for a double).
std::optional<double> parseDecimal(std::string_view text);

// The typed value of `text` for `key`, or why it is not one (naming the key and what it takes).
struct ParsedSetting {
  std::optional<SettingValue> value;
  std::string refusal;
};
ParsedSetting parseSettingValue(const SettingKey& key, std::string_view text);

// The shortest text that reads back as the same float: 0.6f is "0.6", not "0.60000002".
std::string floatText(float value);

// A key's default as text: "true", "0.6".
std::string defaultText(const SettingKey& key);

}  // namespace qv::prefs
