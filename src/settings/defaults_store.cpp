#include "settings/defaults_store.h"

#include "platform/ownership.h"
#include "settings/store_paths.h"

extern "C" {
QV_EXPORT id defaults = nil;
}

namespace quorvel {

void loadDefaults() {
  if (NS::FileManager::defaultManager().fileExistsAtPath(settingsPath())) {
    // An unreadable file leaves `defaults` as nothing; the file itself is left alone.
    qv::storeStrong(&defaults, NS::MutableDictionary::dictionaryWithContentsOfFile(settingsPath()));
    return;
  }
  qv::storeStrong(&defaults, NS::MutableDictionary::dictionary());
  NS::Dictionary(defaults).writeToFile(settingsPath(), true);
}

}  // namespace quorvel
