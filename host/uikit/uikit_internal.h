// UIKit's own registration of its classes, by area; the structs behind its objects are in
// view_objects.h.
#pragma once

#include "uikit/view_objects.h"
#include "uikit/views.h"

namespace qv::host {

// Per-area registration, run by registerUIKit() in dependency order.
void registerColors();
void registerViews();
void registerControllers();
void registerAlerts();
void registerDeviceServices();
void registerAuthentication();
void registerImages();

}  // namespace qv::host
