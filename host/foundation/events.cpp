#include "foundation/events_internal.h"
#include "foundation/foundation_internal.h"
#include "runtime/blocks.h"

namespace qv::host {

void registerEvents() {
  runtime::registerBlockClasses();
  registerMainQueue();
  registerNotificationCenter();
}

}  // namespace qv::host
