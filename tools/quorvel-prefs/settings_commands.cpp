// list, get, set and reset on the settings domain.
#include <algorithm>
#include <iomanip>
#include <vector>

#include "commands.h"
#include "failure.h"
#include "file_check.h"
#include "foundation/darwin_notify.h"
#include "foundation/values.h"
#include "settings_domain.h"

namespace qv::prefs {

namespace {

constexpr int kKeyColumn = 22;

// For reading: the domain, as the library reads it; a file that cannot be read is named.
SettingsDomain readSettings(Context& c) {
  FileCheck file = checkFile(kSettingsPath);
  if (file.state == FileCheck::State::Unusable) {
    c.err << "quorvel-prefs: warning: the settings file " << file.realFile << " " << file.problem
          << "; the library reads no app lists from it at launch\n";
  }
  return SettingsDomain(kSettingsDomain, kSettingsPath);
}

// For changing: a file that cannot be read is refused unless --force.
struct ForChange {
  FileCheck file;
  SettingsDomain settings;
};
ForChange settingsForChange(Context& c) {
  FileCheck file = checkFile(kSettingsPath);
  requireUsable(file, c.force, "the settings file");
  return {file, SettingsDomain(kSettingsDomain, kSettingsPath)};
}

void saveSettings(SettingsDomain& settings, id set, const std::vector<std::string>& remove) {
  settings.store(set, remove);
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

// Keys of the domain that are neither settings nor app lists, sorted.
std::vector<std::string> otherKeys(const SettingsDomain& settings) {
  std::vector<std::string> keys;
  for (id key : host::arrayItems(msgSend<id>(settings.values(), SELECTOR("allKeys")))) {
    std::string name = host::stdString(key);
    if (!findSettingKey(name) && !isAppListKey(name)) keys.push_back(name);
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

}  // namespace

void listSettings(Context& c) {
  SettingsDomain settings = readSettings(c);
  std::ostream& out = c.out;
  out << std::left << std::setw(kKeyColumn) << "KEY" << std::setw(9) << "TYPE" << std::setw(9)
      << "DEFAULT"
      << "VALUE\n";
  for (const SettingKey& key : settingKeys()) {
    id stored = settings.get(key.name);
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
    out << std::setw(kKeyColumn) << name << appListSummary(settings.get(name)) << '\n';
  }
  std::vector<std::string> others = otherKeys(settings);
  if (!others.empty()) {
    out << "\nOther keys in the file (kept as they are):";
    for (const std::string& k : others) out << ' ' << k;
    out << '\n';
  }
}

void getSetting(const SettingKey& key, Context& c) {
  SettingsDomain settings = readSettings(c);
  c.out << effectiveText(key, settings.get(key.name)) << '\n';
}

void getAppList(const std::string& name, Context& c) {
  SettingsDomain settings = readSettings(c);
  for (const std::string& entry : appListEntries(settings.get(name))) c.out << entry << '\n';
}

void setSetting(const SettingKey& key, const SettingValue& value, Context& c) {
  ForChange change = settingsForChange(c);
  std::string before = effectiveText(key, change.settings.get(key.name));
  saveSettings(change.settings,
               host::makeDictionary({{host::makeString(key.name), settingObject(value)}}), {});
  c.out << key.name << ": " << effectiveText(key, change.settings.get(key.name)) << " (was "
        << before << ")\n";
}

void resetSetting(const SettingKey& key, Context& c) {
  ForChange change = settingsForChange(c);
  id stored = change.settings.get(key.name);
  std::string before = effectiveText(key, stored);
  // Nothing to change unless the key is set, or --force replaces an unusable file.
  if (!stored && change.file.state != FileCheck::State::Unusable) {
    c.out << key.name << ": already the default (" << defaultText(key) << ")\n";
    return;
  }
  saveSettings(change.settings, nil, {key.name});
  c.out << key.name << ": the default " << defaultText(key) << " (was " << before << ")\n";
}

void resetAllSettings(Context& c) {
  ForChange change = settingsForChange(c);
  std::vector<std::string> removed;
  for (const SettingKey& key : settingKeys()) {
    if (change.settings.get(key.name)) removed.push_back(key.name);
  }
  if (removed.empty() && change.file.state != FileCheck::State::Unusable) {
    c.out << "every setting is already the default\n";
    return;
  }
  saveSettings(change.settings, nil, removed);
  c.out << "every setting back to its default (" << removed.size() << " removed; app lists kept)\n";
}

}  // namespace qv::prefs
