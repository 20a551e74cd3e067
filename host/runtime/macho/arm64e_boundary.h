// The system's side of the pointer-authentication ABI, for the imports of an arm64e image: what
// Apple's runtime and the substrate authenticate when the image hands them a pointer, and sign
// when they hand one back. Each entry wraps the host's own function, which deals in plain
// pointers. A pointer that fails authentication is left as the processor leaves it, an address
// that faults when it is used, as on a phone.
#pragma once

#include "platform/corefoundation.h"
#include "platform/objc.h"

namespace qv::macho {

// MSHookMessageEx: the replacement is authenticated (instruction key A, discriminator 0, as
// any function pointer); the previous implementation is handed back signed so.
void hookMessageArm64e(Class cls, SEL sel, IMP replacement, IMP* previous);

// class_addMethod: the implementation is authenticated as a replacement is.
BOOL addMethodArm64e(Class cls, SEL sel, IMP imp, const char* types);

// class_getMethodImplementation: the implementation is handed back signed.
IMP methodImplementationArm64e(Class cls, SEL sel);

// CFNotificationCenterAddObserver: the callback is authenticated as a function pointer.
void addObserverArm64e(CFNotificationCenterRef center, const void* observer,
                       CFNotificationCallback callback, CFStringRef name, const void* object,
                       CFNotificationSuspensionBehavior behavior);

}  // namespace qv::macho
