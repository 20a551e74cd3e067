// The method-hooking substrate's interface.
#pragma once

#include "platform/objc.h"

#pragma GCC visibility push(default)
extern "C" {
// Routes `sel` on `cls` to `replacement`, storing the implementation that was in place into
// `*previous` before the replacement can be called. When `cls` only inherits `sel`, the
// previous implementation is looked up on the superclass at each call.
void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* previous);
}
#pragma GCC visibility pop
