#include "prefsd/domain_store.h"

#include <cerrno>
#include <cstring>

#include "foundation/foundation_internal.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "runtime/class_builder.h"

namespace qv::host::prefsd {
namespace {

// A new mutable dictionary (owned) holding the entries of `source` (nil: none).
id mutableCopyOf(id source) {
  id copy = runtime::createInstance(mutableDictionaryClass());
  if (source) fields<NSDictionaryObj>(copy)->map = fields<NSDictionaryObj>(source)->map;
  return copy;
}

}  // namespace

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
  if (set) {
    for (const auto& [key, value] : fields<NSDictionaryObj>(set)->map) map[key] = value;
  }
  for (id key : arrayItems(remove)) map.erase(Strong(key));
  if (fault != WriteFault::None) injectWriteFault(fault, 1);
  bool written = writePropertyListFile(preferencesFilePath(name), updated.get(), true);
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
