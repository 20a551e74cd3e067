// The three app lists kept in `defaults`: lockedApps, disableNotifications, disableBanners.
#pragma once

#include "platform/foundation.h"

namespace quorvel {

// The list stored under `key` in `defaults`; nil when absent or not an array.
NS::Array listNamed(const char* key);

// Whether the list holds a string equal to `bundleIdentifier` (nil never matches).
bool listContains(const char* key, id bundleIdentifier);

// Whether the app is under App Lock.
bool isAppLocked(id bundleIdentifier);

// A mutable copy of the list under `key` (a new empty array when it is missing), owned by the
// current autorelease pool.
NS::MutableArray mutableListNamed(const char* key);

// Stores `list` under `key` in `defaults` and, through the settings domain, in the settings
// property list. Only this key of the domain changes, so settings the settings program wrote
// since launch (even while this runs) survive. Without `defaults` nothing is kept or written.
void storeList(const char* key, const NS::Array& list);

}  // namespace quorvel
