#include "foundation/events_internal.h"
#include "foundation/foundation_internal.h"

namespace qv::host {

void registerEvents() {
  registerBlockClass();
  registerMainQueue();
  registerNotificationCenter();
}

}  // namespace qv::host
