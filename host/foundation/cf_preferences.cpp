// Core Foundation preferences as clients of the preferences daemon (its transport is
// installed by host/prefsd's client, see preferences.h): reads come
// from its memory, each change is acknowledged once the domain's file holds it, and
// CFPreferencesAppSynchronize reads nothing again: it reports whether the changes made since
// the last one were all stored.
#include <atomic>
#include <mutex>
#include <set>

#include "foundation/file_faults.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"
#include "platform/corefoundation.h"

namespace qv::host {
namespace {

std::atomic<PreferencesTransport> gTransport{nullptr};

std::mutex gFailedLock;
// Domains with a change that could not be stored since the last synchronise.
std::set<std::string>& failedDomains() {
  static auto* domains = new std::set<std::string>();
  return *domains;
}

// The domain's name, or "" when it names no domain.
std::string domainName(CFStringRef appID) {
  id name = const_cast<id>(appID);
  if (!isString(name)) return "";
  std::string text = stdString(name);
  return preferencesFilePath(text).empty() ? "" : text;
}

// The daemon's reply when it answered ok, else nil.
id ask(std::vector<std::pair<id, id>> entries) {
  PreferencesTransport send = gTransport.load();
  id reply = send ? send(makeDictionary(entries)) : nil;
  id ok = dictionaryGet(reply, "ok");
  return isNumber(ok) && msgSend<BOOL>(ok, SELECTOR("boolValue")) ? reply : nil;
}

// The domain's keys, sorted (owned), or nil when it has none.
id copyKeyList(CFStringRef appID) {
  std::string name = domainName(appID);
  if (name.empty()) return nil;
  AutoreleasePool pool;
  id keys = dictionaryGet(
      ask({{makeString("op"), makeString("keys")}, {makeString("domain"), makeString(name)}}),
      "keys");
  return isArray(keys) && !arrayItems(keys).empty() ? objc_retain(keys) : nil;
}

// The values of the keys the domain holds (all of them for nil keys), owned; empty when the
// domain has none or the daemon cannot be reached.
id copyMultiple(id keys, CFStringRef appID) {
  std::string name = domainName(appID);
  if (name.empty()) return nil;
  AutoreleasePool pool;
  std::vector<std::pair<id, id>> request = {{makeString("op"), makeString("copy")},
                                            {makeString("domain"), makeString(name)}};
  if (keys) request.emplace_back(makeString("keys"), keys);
  id values = dictionaryGet(ask(request), "values");
  return objc_retain(isDictionary(values) ? values : makeDictionary({}));
}

// One change of a domain, with the write fault this process was told to suffer.
void change(CFStringRef appID, id set, id remove) {
  std::string name = domainName(appID);
  if (name.empty()) return;
  AutoreleasePool pool;
  std::vector<std::pair<id, id>> request = {{makeString("op"), makeString("set")},
                                            {makeString("domain"), makeString(name)}};
  if (set) request.emplace_back(makeString("set"), set);
  if (remove) request.emplace_back(makeString("remove"), remove);
  if (WriteFault fault = takeWriteFault(); fault != WriteFault::None) {
    request.emplace_back(makeString("fault"), makeString(faultName(fault)));
  }
  if (ask(request)) return;
  std::lock_guard<std::mutex> g(gFailedLock);
  failedDomains().insert(name);
}

// Constant strings in static storage; their class is filled in at registration.
NSStringObj gCurrentUser, gAnyUser, gCurrentHost, gAnyHost;

void makeConstant(NSStringObj& s, const char* text) {
  s.isa = stringClass();
  s.utf8 = text;
  runtime::makeImmortal(&s);
}

}  // namespace

std::string preferencesFilePath(const std::string& appID) {
  if (appID.empty() || appID == "." || appID == ".." || appID.find('/') != std::string::npos ||
      appID.find('\0') != std::string::npos) {
    return "";
  }
  return "/var/jb/vmo/Library/Preferences/" + appID + ".plist";
}

void setPreferencesTransport(PreferencesTransport send) { gTransport.store(send); }

bool setPreferenceValue(const std::string& appID, const std::string& key, id value) {
  AutoreleasePool pool;
  CFStringRef domain = makeString(appID);
  CFPreferencesSetAppValue(makeString(key), value, domain);
  return CFPreferencesAppSynchronize(domain);
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
  std::string name = qv::host::domainName(applicationID);
  if (name.empty()) return false;
  std::lock_guard<std::mutex> g(qv::host::gFailedLock);
  return qv::host::failedDomains().erase(name) == 0;
}

void CFPreferencesSetAppValue(CFStringRef key, CFTypeRef value, CFStringRef applicationID) {
  using namespace qv::host;
  id keyText = const_cast<id>(key);
  if (!isString(keyText)) return;
  qv::AutoreleasePool pool;
  if (value) {
    change(applicationID, makeDictionary({{keyText, const_cast<id>(value)}}), nil);
  } else {
    change(applicationID, nil, makeArray({keyText}));
  }
}

void CFPreferencesSetMultiple(CFDictionaryRef keysToSet, CFArrayRef keysToRemove,
                              CFStringRef applicationID, CFStringRef, CFStringRef) {
  using namespace qv::host;
  id set = const_cast<id>(keysToSet);
  id remove = const_cast<id>(keysToRemove);
  if ((set && !isDictionary(set)) || (remove && !isArray(remove))) return;
  qv::host::change(applicationID, set, remove);
}

CFArrayRef CFPreferencesCopyKeyList(CFStringRef applicationID, CFStringRef, CFStringRef) {
  return qv::host::copyKeyList(applicationID);
}

CFDictionaryRef CFPreferencesCopyMultiple(CFArrayRef keysToFetch, CFStringRef applicationID,
                                          CFStringRef, CFStringRef) {
  return qv::host::copyMultiple(const_cast<id>(keysToFetch), applicationID);
}

}  // extern "C"
