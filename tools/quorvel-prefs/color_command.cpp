// The colour list: the static menu colour, beside entries this program does not know (such as
// the wallpaper colour), which its domain keeps.
#include "commands.h"
#include "file_check.h"
#include "foundation/darwin_notify.h"
#include "foundation/values.h"
#include "settings_domain.h"

namespace qv::prefs {

void setStaticColour(const std::string& text, Context& c) {
  requireUsable(checkFile(kColorsPath), c.force, "the colour list");
  SettingsDomain colours(kColorsDomain, kColorsPath);
  id stored = colours.get(kStaticColorKey);
  std::string before = host::isString(stored) ? host::stdString(stored) : "not set";
  colours.store(host::makeDictionary({{host::makeString(kStaticColorKey), host::makeString(text)}}),
                {});
  host::postDarwinNotification(kReloadColorsNotification);
  c.out << kStaticColorKey << ": " << text << " (was " << before << ")\n";
}

std::string storedStaticColour(Context& c) {
  FileCheck file = checkFile(kColorsPath);
  if (file.state == FileCheck::State::Unusable) {
    c.err << "quorvel-prefs: warning: the colour list " << file.realFile << " " << file.problem
          << "; the library reads no colour from it\n";
  }
  SettingsDomain colours(kColorsDomain, kColorsPath);
  id stored = colours.get(kStaticColorKey);
  if (!stored) return "";
  return host::isString(stored) ? host::stdString(stored) : describeObject(stored);
}

}  // namespace qv::prefs
