#include "runtime/macho/arm64e_boundary.h"

#include "platform/substrate.h"
#include "runtime/macho/pointer_auth.h"

namespace qv::macho {

namespace {

// Function pointers of the arm64e ABI: instruction key A, discriminator 0.
template <class F>
F authenticated(F fn) {
  return reinterpret_cast<F>(
      authenticatePointer(reinterpret_cast<uint64_t>(fn), PointerKey::IA, 0));
}

template <class F>
F signedFunction(F fn) {
  return fn ? reinterpret_cast<F>(signPointer(reinterpret_cast<uint64_t>(fn), PointerKey::IA, 0))
            : fn;
}

}  // namespace

void hookMessageArm64e(Class cls, SEL sel, IMP replacement, IMP* previous) {
  IMP before = nullptr;
  MSHookMessageEx(cls, sel, authenticated(replacement), previous ? &before : nullptr);
  // The substrate writes nothing when it installs nothing.
  if (previous && before) *previous = signedFunction(before);
}

BOOL addMethodArm64e(Class cls, SEL sel, IMP imp, const char* types) {
  return class_addMethod(cls, sel, authenticated(imp), types);
}

IMP methodImplementationArm64e(Class cls, SEL sel) {
  return signedFunction(class_getMethodImplementation(cls, sel));
}

void addObserverArm64e(CFNotificationCenterRef center, const void* observer,
                       CFNotificationCallback callback, CFStringRef name, const void* object,
                       CFNotificationSuspensionBehavior behavior) {
  CFNotificationCenterAddObserver(center, observer, authenticated(callback), name, object,
                                  behavior);
}

}  // namespace qv::macho
