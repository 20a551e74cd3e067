// The colour list: the static menu colour, beside entries this program does not know (such as
// the wallpaper colour) that it keeps.
#include "commands.h"
#include "dictionary_file.h"
#include "foundation/darwin_notify.h"
#include "foundation/foundation_internal.h"

namespace qv::prefs {

void setStaticColour(const std::string& text, Context& c) {
  DictionaryFile colours(kColorsPath);
  colours.requireReadable(c.force, "the colour list");
  id stored = colours.get(kStaticColorKey);
  std::string before = host::isString(stored) ? host::stdString(stored) : "not set";
  colours.set(kStaticColorKey, host::makeString(text));
  colours.save();
  host::postDarwinNotification(kReloadColorsNotification);
  c.out << kStaticColorKey << ": " << text << " (was " << before << ")\n";
}

std::string storedStaticColour(Context& c) {
  DictionaryFile colours(kColorsPath);
  if (colours.state() == DictionaryFile::State::Unusable) {
    c.err << "quorvel-prefs: warning: the colour list " << colours.realFile() << " "
          << colours.problem() << "\n";
    return "";
  }
  id stored = colours.get(kStaticColorKey);
  if (!stored) return "";
  return host::isString(stored) ? host::stdString(stored) : describeObject(stored);
}

}  // namespace qv::prefs
