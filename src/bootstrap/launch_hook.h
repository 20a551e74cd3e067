// The host's launch: `defaults` is read before the host's own launch code runs.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// SpringBoard -applicationDidFinishLaunching:
void hookApplicationDidFinishLaunching(id self, SEL cmd, id application);

}  // namespace quorvel
