// Preference domains: the domain "X" is kept in the property list
// "/var/jb/vmo/Library/Preferences/X.plist", so the settings program's domain and the settings
// property list are one store. As on a device, the domains belong to a daemon shared by every
// process on the device root (host/prefsd): CFPreferences reads its memory and changes go
// through it, which writes the file before it acknowledges them. The user and host arguments
// of CFPreferences do not select separate stores.
#pragma once

#include <string>

#include "platform/corefoundation.h"
#include "platform/objc.h"

extern "C" {
// Removes `keysToRemove` and sets the entries of `keysToSet` (either may be null) as one
// change of the domain; a key in both ends set.
void CFPreferencesSetMultiple(CFDictionaryRef keysToSet, CFArrayRef keysToRemove,
                              CFStringRef applicationID, CFStringRef user, CFStringRef host);
}

namespace qv::host {

// The device path of a domain's file; empty for a name that cannot be a file name ("", ".",
// "..", or containing "/").
std::string preferencesFilePath(const std::string& appID);

// Sets (or, with nil, removes) one key of a domain as the settings pane does:
// CFPreferencesSetAppValue, then CFPreferencesAppSynchronize. True once the domain's file holds
// the change.
bool setPreferenceValue(const std::string& appID, const std::string& key, id value);

// Where CFPreferences sends its requests (property-list dictionaries, see prefsd/requests.h):
// the daemon's client, a layer built on this one, installs itself when the host library loads.
// A transport returns the reply (autoreleased), or nil when no daemon answers; with none
// installed every request goes unanswered.
using PreferencesTransport = id (*)(id request);
void setPreferencesTransport(PreferencesTransport send);

}  // namespace qv::host
