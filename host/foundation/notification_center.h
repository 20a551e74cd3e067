// Host-side look into NSNotificationCenter, for diagnostics.
#pragma once

#include <cstddef>

#include "platform/objc.h"

namespace qv::host {

// How many observations the centre holds, counting those of observers that have gone away
// since its last post.
size_t notificationObservationCount(id center);

}  // namespace qv::host
