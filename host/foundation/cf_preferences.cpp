// Core Foundation preferences over property-list files. A process reads a domain's file once
// and keeps the result until CFPreferencesAppSynchronize, like the real cache, so a reader
// sees another process's change only after synchronising.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "foundation/device_root.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"
#include "platform/corefoundation.h"

namespace qv::host {
namespace {

std::mutex gCacheLock;
// A domain's real file (so that another device root is another store) to its dictionary as
// last read (nil: no file or no dictionary).
std::unordered_map<std::string, Strong>& cache() {
  static auto* c = new std::unordered_map<std::string, Strong>();
  return *c;
}

// The domain's dictionary, retained (+1), or nil.
id copyDomain(CFStringRef appID) {
  id name = const_cast<id>(appID);
  if (!isString(name)) return nil;
  std::string path = preferencesFilePath(stdString(name));
  if (path.empty()) return nil;
  std::string file = realPath(path);
  std::lock_guard<std::mutex> g(gCacheLock);
  auto it = cache().find(file);
  if (it == cache().end()) {
    AutoreleasePool pool;
    id read = readPropertyListFile(path);
    it = cache().emplace(file, isDictionary(read) ? read : nil).first;
  }
  return objc_retain(it->second.get());
}

// The domain's keys, sorted (owned), or nil when it has none.
id copyKeyList(CFStringRef appID) {
  Strong domain = Strong::adopt(copyDomain(appID));
  if (!domain || fields<NSDictionaryObj>(domain)->map.empty()) return nil;
  id keys = runtime::createInstance(arrayClass());
  auto& items = fields<NSArrayObj>(keys)->items;
  for (const auto& entry : fields<NSDictionaryObj>(domain)->map) items.push_back(entry.first);
  std::sort(items.begin(), items.end(), [](const Strong& a, const Strong& b) {
    return stdString(a.get()) < stdString(b.get());
  });
  return keys;
}

// The values of the keys the domain holds (all of them for nil keys), owned; empty when the
// domain has no file.
id copyMultiple(id keys, CFStringRef appID) {
  id name = const_cast<id>(appID);
  if (!isString(name) || preferencesFilePath(stdString(name)).empty()) return nil;
  Strong domain = Strong::adopt(copyDomain(appID));
  id result = runtime::createInstance(dictionaryClass());
  if (!domain) return result;
  const auto& source = fields<NSDictionaryObj>(domain)->map;
  auto& out = fields<NSDictionaryObj>(result)->map;
  if (!keys) {
    out = source;
    return result;
  }
  for (id key : arrayItems(keys)) {
    auto it = source.find(Strong(key));
    if (it != source.end()) out[it->first] = it->second;
  }
  return result;
}

void forgetDomain(CFStringRef appID) {
  id name = const_cast<id>(appID);
  std::string path = isString(name) ? preferencesFilePath(stdString(name)) : "";
  if (path.empty()) return;
  std::lock_guard<std::mutex> g(gCacheLock);
  cache().erase(realPath(path));
}

// Constant strings in static storage; their class is filled in at registration.
NSStringObj gCurrentUser, gAnyUser, gCurrentHost, gAnyHost;

void makeConstant(NSStringObj& s, const char* text) {
  s.isa = stringClass();
  s.utf8 = text;
  runtime::makeImmortal(&s);
}

}  // namespace

PreferencesLock::PreferencesLock(const std::string& appID) {
  std::string folder = realPath("/var/run/preferences-locks");
  ::mkdir(realPath("/var/run").c_str(), 0755);
  ::mkdir(folder.c_str(), 0755);
  fd_ = ::open((folder + "/" + appID + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ >= 0) {
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
}

PreferencesLock::~PreferencesLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::string preferencesFilePath(const std::string& appID) {
  if (appID.empty() || appID == "." || appID == ".." || appID.find('/') != std::string::npos ||
      appID.find('\0') != std::string::npos) {
    return "";
  }
  return "/var/jb/vmo/Library/Preferences/" + appID + ".plist";
}

bool setPreferenceValue(const std::string& appID, const std::string& key, id value) {
  std::string path = preferencesFilePath(appID);
  if (path.empty()) return false;
  AutoreleasePool pool;
  PreferencesLock lock(appID);
  id current = readPropertyListFile(path);
  id updated = runtime::createInstance(dictionaryClass());
  Strong owner = Strong::adopt(updated);
  if (isDictionary(current)) {
    fields<NSDictionaryObj>(updated)->map = fields<NSDictionaryObj>(current)->map;
  }
  Strong keyString = makeString(key);
  if (value) {
    fields<NSDictionaryObj>(updated)->map[keyString] = Strong(value);
  } else {
    fields<NSDictionaryObj>(updated)->map.erase(keyString);
  }
  if (!writePropertyListFile(path, updated, true)) return false;
  std::lock_guard<std::mutex> g(gCacheLock);
  cache()[realPath(path)] = owner;
  return true;
}

void registerPreferences() {
  makeConstant(gCurrentUser, "kCFPreferencesCurrentUser");
  makeConstant(gAnyUser, "kCFPreferencesAnyUser");
  makeConstant(gCurrentHost, "kCFPreferencesCurrentHost");
  makeConstant(gAnyHost, "kCFPreferencesAnyHost");
}

}  // namespace qv::host

extern "C" {

const CFStringRef kCFPreferencesCurrentUser = &qv::host::gCurrentUser;
const CFStringRef kCFPreferencesAnyUser = &qv::host::gAnyUser;
const CFStringRef kCFPreferencesCurrentHost = &qv::host::gCurrentHost;
const CFStringRef kCFPreferencesAnyHost = &qv::host::gAnyHost;

Boolean CFPreferencesAppSynchronize(CFStringRef applicationID) {
  qv::host::forgetDomain(applicationID);
  return true;
}

void CFPreferencesSetAppValue(CFStringRef key, CFTypeRef value, CFStringRef applicationID) {
  id name = const_cast<id>(applicationID);
  id keyText = const_cast<id>(key);
  if (!qv::host::isString(name) || !qv::host::isString(keyText)) return;
  qv::host::setPreferenceValue(qv::host::stdString(name), qv::host::stdString(keyText),
                               const_cast<id>(value));
}

CFArrayRef CFPreferencesCopyKeyList(CFStringRef applicationID, CFStringRef, CFStringRef) {
  return qv::host::copyKeyList(applicationID);
}

CFDictionaryRef CFPreferencesCopyMultiple(CFArrayRef keysToFetch, CFStringRef applicationID,
                                          CFStringRef, CFStringRef) {
  return qv::host::copyMultiple(const_cast<id>(keysToFetch), applicationID);
}

}  // extern "C"
