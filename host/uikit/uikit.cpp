#include "uikit/uikit.h"

#include <mutex>

#include "foundation/foundation.h"
#include "runtime/system_images.h"
#include "uikit/image_internal.h"
#include "uikit/uikit_internal.h"

namespace qv::host {

void registerUIKit() {
  static std::once_flag once;
  std::call_once(once, [] {
    registerFoundation();
    registerColors();
    registerViews();
    registerControllers();
    registerAlerts();
    registerDeviceServices();
    registerAuthentication();
    registerImages();
    // UIKit links QuartzCore, whose classes (layers, filters) come with it.
    runtime::addSystemImage(runtime::kQuartzCore, {});
    runtime::loadSystemImage(runtime::kQuartzCore);
  });
}

}  // namespace qv::host
