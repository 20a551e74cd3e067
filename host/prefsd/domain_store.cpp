#include "prefsd/domain_store.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "foundation/device_directories.h"
#include "foundation/device_files.h"
#include "foundation/device_root.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "foundation/value_objects.h"
#include "runtime/class_builder.h"

namespace qv::host::prefsd {
namespace {

constexpr const char* kPreferencesFolder = "/var/jb/vmo/Library/Preferences";
// Marks the daemon's temporaries: only one daemon serves a root, so one that finds such a
// file found what a killed daemon left.
constexpr const char* kTemporaryTag = "prefsd";

// A new mutable dictionary (owned) holding the entries of `source` (nil: none).
id mutableCopyOf(id source) {
  id copy = runtime::createInstance(mutableDictionaryClass());
  if (source) fields<NSDictionaryObj>(copy)->map = fields<NSDictionaryObj>(source)->map;
  return copy;
}

}  // namespace

void DomainStore::removeLeftTemporaries() {
  std::string folder = realPath(kPreferencesFolder);
  std::string marker = std::string(".plist.") + kTemporaryTag + ".";
  for (const DirectoryEntry& entry :
       listRealDirectory(folder).value_or(std::vector<DirectoryEntry>{})) {
    if (!entry.isDirectory && entry.name.front() == '.' &&
        entry.name.find(marker) != std::string::npos) {
      ::unlink((folder + "/" + entry.name).c_str());
    }
  }
}

id DomainStore::domain(const std::string& name) {
  auto it = domains_.find(name);
  if (it != domains_.end()) return it->second.get();
  AutoreleasePool pool;
  id read = readPropertyListFile(preferencesFilePath(name));
  Strong values = Strong::adopt(mutableCopyOf(isDictionary(read) ? read : nil));
  return domains_.emplace(name, values).first->second.get();
}

bool DomainStore::change(const std::string& name, id set, id remove, WriteFault fault,
                         std::string& error) {
  Strong updated = Strong::adopt(mutableCopyOf(domain(name)));
  auto& map = fields<NSDictionaryObj>(updated.get())->map;
  for (id key : arrayItems(remove)) map.erase(Strong(key));
  if (set) {
    for (const auto& [key, value] : fields<NSDictionaryObj>(set)->map) map[key] = value;
  }
  if (fault != WriteFault::None) injectWriteFault(fault, 1);
  std::string xml = propertyListXML(updated.get());
  if (xml.empty()) errno = EINVAL;
  bool written =
      !xml.empty() && writeDeviceFile(preferencesFilePath(name), xml, true, kTemporaryTag);
  injectWriteFault(WriteFault::None, 0);
  if (!written) {
    error = "cannot write " + preferencesFilePath(name) + ": " + std::strerror(errno);
    return false;
  }
  domains_[name] = updated;
  return true;
}

std::vector<std::string> DomainStore::loadedDomains() const {
  std::vector<std::string> names;
  for (const auto& entry : domains_) names.push_back(entry.first);
  return names;
}

}  // namespace qv::host::prefsd
