// list, get, set and reset on the settings property list.
#include <algorithm>
#include <iomanip>
#include <vector>

#include "commands.h"
#include "dictionary_file.h"
#include "failure.h"
#include "foundation/darwin_notify.h"
#include "foundation/foundation_internal.h"

namespace qv::prefs {

using State = DictionaryFile::State;

namespace {

constexpr int kKeyColumn = 22;

// For reading: an unusable file reads as no settings, which is what the library makes of it.
DictionaryFile readSettings(Context& c) {
  DictionaryFile file(kSettingsPath);
  if (file.state() == State::Unusable) {
    c.err << "quorvel-prefs: warning: the settings file " << file.realFile() << " "
          << file.problem() << "; the library uses the defaults\n";
  }
  return file;
}

// For changing: an unusable file is refused unless --force.
DictionaryFile settingsForChange(Context& c) {
  DictionaryFile file(kSettingsPath);
  file.requireReadable(c.force, "the settings file");
  return file;
}

void saveSettings(DictionaryFile& file) {
  file.save();
  host::postDarwinNotification(kReloadPrefsNotification);
}

// The string entries of an app list; the library never matches anything else.
std::vector<std::string> appListEntries(id list) {
  std::vector<std::string> out;
  for (id item : host::arrayItems(list)) {
    if (host::isString(item)) out.push_back(host::stdString(item));
  }
  return out;
}

std::string appListSummary(id list) {
  if (!list) return "none";
  if (!host::isArray(list)) return "not a list (" + describeObject(list) + "), read as empty";
  std::vector<std::string> entries = appListEntries(list);
  if (entries.empty()) return "none";
  std::string text;
  for (const std::string& e : entries) text += (text.empty() ? "" : ", ") + e;
  return text;
}

// Keys of the file that are neither settings nor app lists, sorted.
std::vector<std::string> otherKeys(const DictionaryFile& file) {
  std::vector<std::string> keys;
  for (id key : host::arrayItems(msgSend<id>(file.entries(), SELECTOR("allKeys")))) {
    std::string name = host::stdString(key);
    if (!findSettingKey(name) && !isAppListKey(name)) keys.push_back(name);
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

}  // namespace

void listSettings(Context& c) {
  DictionaryFile file = readSettings(c);
  std::ostream& out = c.out;
  out << std::left << std::setw(kKeyColumn) << "KEY" << std::setw(9) << "TYPE" << std::setw(9)
      << "DEFAULT"
      << "VALUE\n";
  for (const SettingKey& key : settingKeys()) {
    id stored = file.get(key.name);
    out << std::setw(kKeyColumn) << key.name << std::setw(9) << typeName(key.type) << std::setw(9)
        << defaultText(key) << effectiveText(key, stored);
    if (stored && storedAsExpected(key, stored)) {
      out << "  (set)";
    } else if (stored) {
      out << "  (stored as " << describeObject(stored) << ")";
    }
    out << '\n';
  }
  std::string colour = storedStaticColour(c);
  out << std::setw(kKeyColumn) << kStaticColorKey << std::setw(9) << "colour" << std::setw(9)
      << "none" << (colour.empty() ? "not set" : colour) << "  (colour list)\n";

  out << "\nApp lists (kept by the library, read-only):\n";
  for (const char* name : appListKeys()) {
    out << std::setw(kKeyColumn) << name << appListSummary(file.get(name)) << '\n';
  }
  std::vector<std::string> others = otherKeys(file);
  if (!others.empty()) {
    out << "\nOther keys in the file (kept as they are):";
    for (const std::string& k : others) out << ' ' << k;
    out << '\n';
  }
}

void getSetting(const SettingKey& key, Context& c) {
  DictionaryFile file = readSettings(c);
  c.out << effectiveText(key, file.get(key.name)) << '\n';
}

void getAppList(const std::string& name, Context& c) {
  DictionaryFile file = readSettings(c);
  for (const std::string& entry : appListEntries(file.get(name))) c.out << entry << '\n';
}

void setSetting(const SettingKey& key, const SettingValue& value, Context& c) {
  DictionaryFile file = settingsForChange(c);
  std::string before = effectiveText(key, file.get(key.name));
  file.set(key.name, settingObject(value));
  saveSettings(file);
  c.out << key.name << ": " << effectiveText(key, file.get(key.name)) << " (was " << before
        << ")\n";
}

void resetSetting(const SettingKey& key, Context& c) {
  DictionaryFile file = settingsForChange(c);
  id stored = file.get(key.name);
  std::string before = effectiveText(key, stored);
  // Nothing to change unless the key is there, or --force replaces an unusable file.
  if (!stored && file.state() != State::Unusable) {
    c.out << key.name << ": already the default (" << defaultText(key) << ")\n";
    return;
  }
  file.remove(key.name);
  saveSettings(file);
  c.out << key.name << ": the default " << defaultText(key) << " (was " << before << ")\n";
}

void resetAllSettings(Context& c) {
  DictionaryFile file = settingsForChange(c);
  int removed = 0;
  for (const SettingKey& key : settingKeys()) {
    if (!file.get(key.name)) continue;
    file.remove(key.name);
    removed++;
  }
  if (removed == 0 && file.state() != State::Unusable) {
    c.out << "every setting is already the default\n";
    return;
  }
  saveSettings(file);
  c.out << "every setting back to its default (" << removed << " removed; app lists kept)\n";
}

}  // namespace qv::prefs
