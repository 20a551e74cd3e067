#include "settings/defaults_store.h"

#include "settings/store_paths.h"

extern "C" {
QV_EXPORT id defaults = nil;
}

namespace quorvel {

void loadDefaults() {
  if (NS::FileManager::defaultManager().fileExistsAtPath(settingsPath())) {
    // An unreadable file leaves `defaults` as nothing; the file itself is left alone.
    id loaded = NS::MutableDictionary::dictionaryWithContentsOfFile(settingsPath()).retain();
    objc_release(defaults);
    defaults = loaded;
    return;
  }
  id fresh = NS::MutableDictionary::dictionary().retain();
  objc_release(defaults);
  defaults = fresh;
  NS::Dictionary(defaults).writeToFile(
      preferencesFolder().stringByAppendingPathComponent(NSSTR("com.vantrelo88.quorvel.plist")),
      true);
}

}  // namespace quorvel
