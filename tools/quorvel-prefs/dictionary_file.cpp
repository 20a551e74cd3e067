#include "dictionary_file.h"

#include <cerrno>
#include <cstring>

#include "failure.h"
#include "foundation/device_directories.h"
#include "foundation/device_files.h"
#include "foundation/device_root.h"
#include "foundation/foundation_internal.h"
#include "foundation/path_resolution.h"
#include "foundation/plist_guard.h"
#include "foundation/property_list.h"

namespace qv::prefs {

using host::isDictionary;

namespace {

// "com.example.plist" at the end of a path names the domain "com.example".
std::string domainOf(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  const std::string suffix = ".plist";
  if (name.size() > suffix.size() &&
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
    name.resize(name.size() - suffix.size());
  }
  return name;
}

}  // namespace

DictionaryFile::DictionaryFile(std::string devicePath)
    : path_(std::move(devicePath)),
      lock_(std::make_unique<host::PreferencesLock>(domainOf(path_))) {
  AutoreleasePool pool;
  entries_ = host::makeDictionary({}, true);
  bool isFolder = false;
  if (!host::deviceItemExists(path_, &isFolder)) return;
  if (isFolder) {
    state_ = State::Unusable;
    problem_ = "is a folder";
    return;
  }
  std::optional<std::string> bytes = host::readDeviceFile(path_, host::kMaxPropertyListBytes);
  if (!bytes) {
    state_ = State::Unusable;
    problem_ = "cannot be read (not a regular file, unreadable or too large)";
    return;
  }
  // An empty file holds nothing that a write could lose.
  if (bytes->empty()) return;
  id object = host::propertyListFromBytes(*bytes);
  if (!object) {
    state_ = State::Unusable;
    problem_ = "is not a valid property list";
    return;
  }
  if (!isDictionary(object)) {
    state_ = State::Unusable;
    problem_ = "does not hold a dictionary";
    return;
  }
  entries_ = Strong::adopt(msgSend<id>(object, SELECTOR("mutableCopy")));
  state_ = State::Read;
}

std::string DictionaryFile::realFile() const { return host::realPath(path_); }

void DictionaryFile::requireReadable(bool force, const std::string& what) const {
  if (state_ != State::Unusable || force) return;
  throw Failure{what + " " + realFile() + " " + problem_ +
                "; it was left as it is (--force replaces it)"};
}

id DictionaryFile::get(const std::string& key) const {
  return host::dictionaryGet(entries_.get(), key);
}

void DictionaryFile::set(const std::string& key, id value) {
  AutoreleasePool pool;
  host::dictionarySet(entries_.get(), host::makeString(key), value);
}

void DictionaryFile::remove(const std::string& key) {
  AutoreleasePool pool;
  msgSend<void>(entries_.get(), SELECTOR("removeObjectForKey:"), host::makeString(key));
}

void DictionaryFile::save() {
  size_t slash = path_.rfind('/');
  std::string folder = slash == 0 || slash == std::string::npos ? "/" : path_.substr(0, slash);
  if (!host::createDeviceDirectory(folder, true)) {
    throw Failure{"cannot create the folder " + host::realPath(folder) + ": " +
                  std::strerror(errno)};
  }
  if (!host::writePropertyListFile(path_, entries_.get(), true)) {
    throw Failure{"cannot write " + realFile() + ": " + std::strerror(errno)};
  }
  state_ = State::Read;
}

}  // namespace qv::prefs
