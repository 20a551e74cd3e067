// Preference domains: the domain "X" is the property list
// "/var/jb/vmo/Library/Preferences/X.plist", so the settings program, the domain and the
// settings property list are one store. The user and host arguments of CFPreferences do not
// select separate stores.
#pragma once

#include <string>

#include "platform/objc.h"

namespace qv::host {

// The device path of a domain's file; empty for a name that cannot be a file name ("", ".",
// "..", or containing "/").
std::string preferencesFilePath(const std::string& appID);

// Serialises the read-modify-write of one domain's file between processes (the settings
// program and the home screen), so that neither loses what the other wrote. Hold it from
// before reading the file until after writing it; the kernel drops the lock of a process that
// dies.
class PreferencesLock {
 public:
  explicit PreferencesLock(const std::string& appID);
  ~PreferencesLock();
  PreferencesLock(const PreferencesLock&) = delete;
  PreferencesLock& operator=(const PreferencesLock&) = delete;

 private:
  int fd_ = -1;
};

// Sets (or, with nil, removes) one key of a domain and writes its file atomically, as
// CFPreferencesSetAppValue followed by a synchronise does; the file is re-read under a lock
// shared by every process, so concurrent updates of other keys are kept. False when the
// write fails.
bool setPreferenceValue(const std::string& appID, const std::string& key, id value);

}  // namespace qv::host
