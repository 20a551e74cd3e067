#include "settings_domain.h"

#include <cerrno>
#include <cstring>

#include "failure.h"
#include "foundation/device_directories.h"
#include "foundation/device_root.h"
#include "foundation/preferences.h"
#include "foundation/values.h"
#include "schema/settings_schema.h"

namespace qv::prefs {

SettingsDomain::SettingsDomain(std::string name, std::string devicePath)
    : name_(std::move(name)), devicePath_(std::move(devicePath)) {
  AutoreleasePool pool;
  values_ = Strong::adopt(const_cast<id>(CFPreferencesCopyMultiple(
      nullptr, host::makeString(name_), kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
}

id SettingsDomain::get(const std::string& key) const {
  return host::dictionaryGet(values_.get(), key);
}

void SettingsDomain::store(id set, const std::vector<std::string>& remove) {
  if (!host::createDeviceDirectory(kPreferencesFolder, true)) {
    throw Failure{"cannot create the folder " + host::realPath(kPreferencesFolder) + ": " +
                  std::strerror(errno)};
  }
  AutoreleasePool pool;
  std::vector<id> keys;
  for (const std::string& k : remove) keys.push_back(host::makeString(k));
  CFStringRef domain = host::makeString(name_);
  CFPreferencesSetMultiple(set, keys.empty() ? nil : host::makeArray(keys), domain,
                           kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  if (!CFPreferencesAppSynchronize(domain)) {
    throw Failure{"cannot write " + host::realPath(devicePath_) +
                  ": the preferences daemon could not store the change"};
  }
  values_ = Strong::adopt(const_cast<id>(CFPreferencesCopyMultiple(
      nullptr, domain, kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
}

}  // namespace qv::prefs
