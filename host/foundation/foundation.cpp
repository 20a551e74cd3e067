#include "foundation/foundation.h"

#include <mutex>

#include "foundation/foundation_internal.h"

namespace qv::host {

void registerFoundation() {
  static std::once_flag once;
  std::call_once(once, [] {
    registerNSObject();
    registerValueClasses();
    registerCollections();
    registerEvents();
    registerStorage();
  });
}

}  // namespace qv::host
