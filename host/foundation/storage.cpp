// Registration of the storage areas, in dependency order.
#include "foundation/storage_internal.h"

namespace qv::host {

void registerStorage() {
  registerDate();
  registerError();
  registerPropertyListMethods();
  registerURL();
  registerFileManager();
  registerDirectoryEnumerator();
  registerPreferences();
  registerKeyedArchiving();
}

}  // namespace qv::host
