#include "settings/app_lists.h"

#include "settings/defaults_store.h"
#include "settings/store_paths.h"

namespace quorvel {

NS::Array listNamed(const char* key) {
  NS::Object stored = NS::Dictionary(defaults).objectForKey(NS::String::from(key));
  if (!stored || !stored.isKindOfClass(CLASS("NSArray"))) return NS::Array();
  return NS::Array(stored.get());
}

// Elements compare with isEqual:, so an element that is no string never matches.
bool listContains(const char* key, id bundleIdentifier) {
  if (!bundleIdentifier) return false;
  return listNamed(key).containsObject(bundleIdentifier);
}

bool isAppLocked(id bundleIdentifier) { return listContains("lockedApps", bundleIdentifier); }

NS::MutableArray mutableListNamed(const char* key) {
  NS::Array list = listNamed(key);
  if (!list) return NS::MutableArray::array();
  return NS::MutableArray(list.mutableCopy().autorelease().get());
}

void storeList(const char* key, const NS::Array& list) {
  if (!defaults) return;
  NS::String name = NS::String::from(key);
  NS::MutableDictionary(defaults).setObject(list, name);
  // The domain's owner writes the file, with everything else it holds; a copy written here
  // behind its back would be overwritten by its next write.
  CFPreferencesSetAppValue(name, list, CFSTR(kSettingsDomain));
  CFPreferencesAppSynchronize(CFSTR(kSettingsDomain));
}

}  // namespace quorvel
