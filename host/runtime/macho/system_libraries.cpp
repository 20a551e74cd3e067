#include "runtime/macho/system_libraries.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/block.h"
#include "platform/corefoundation.h"
#include "platform/coregraphics.h"
#include "platform/dispatch.h"
#include "platform/libc.h"
#include "platform/ns_functions.h"
#include "platform/objc.h"
#include "platform/substrate.h"
#include "runtime/blocks.h"
#include "runtime/macho/apple_variadic.h"
#include "runtime/macho/arm64e_boundary.h"
#include "runtime/system_images.h"

namespace qv::macho {

namespace {

// libSystem's stack protector: the guard the image's functions compare with, and what they
// call when it was overwritten.
uintptr_t stackGuard = [] {
  std::random_device random;
  return (uintptr_t{random()} << 32) ^ random() ^ 0xff0a0000;  // a NUL byte stops string overruns
}();

void stackCheckFailed() {
  std::fprintf(stderr, "stack smashing detected in the loaded library\n");
  std::abort();
}

// Every lazy bind is resolved at load, so the image's stub helper never runs it.
void stubBinderReached() {
  std::fprintf(stderr, "dyld_stub_binder reached: a lazy bind was not resolved at load\n");
  std::abort();
}

template <class T>
std::pair<std::string, HostSymbol> entry(const char* name, T* address,
                                         const void* appleEntry = nullptr) {
  return {std::string("_") + name,
          HostSymbol{reinterpret_cast<const void*>(address), isVariadic(address), appleEntry}};
}
// A function that takes or returns a code pointer, with its arm64e entry (of the same type).
template <class T>
std::pair<std::string, HostSymbol> withArm64eEntry(const char* name, T* address, T* arm64e) {
  auto e = entry(name, address);
  e.second.arm64eEntry = reinterpret_cast<const void*>(arm64e);
  return e;
}

#define QV_SYMBOL(name) entry(#name, &name)
#define QV_SYMBOL_AS(name, address) entry(name, address)

SystemLibraries makeHost() {
  SystemLibraries host;
  host.add({"/usr/lib/libobjc.A.dylib",
            "/usr/lib/libobjc.A.dylib",
            {QV_SYMBOL(objc_getClass),
             QV_SYMBOL(object_getClass),
             QV_SYMBOL(class_getName),
             QV_SYMBOL(class_getSuperclass),
             QV_SYMBOL(sel_registerName),
             QV_SYMBOL(sel_getName),
             withArm64eEntry("class_addMethod", &class_addMethod, &addMethodArm64e),
             QV_SYMBOL(class_getInstanceVariable),
             QV_SYMBOL(ivar_getOffset),
             withArm64eEntry("class_getMethodImplementation", &class_getMethodImplementation,
                             &methodImplementationArm64e),
             QV_SYMBOL(class_respondsToSelector),
             QV_SYMBOL(objc_msgSend),
             QV_SYMBOL(objc_retain),
             QV_SYMBOL(objc_release),
             QV_SYMBOL(objc_storeStrong),
             QV_SYMBOL(objc_autorelease),
             QV_SYMBOL(objc_autoreleasePoolPush),
             QV_SYMBOL(objc_autoreleasePoolPop),
             QV_SYMBOL(objc_initWeak),
             QV_SYMBOL(objc_storeWeak),
             QV_SYMBOL(objc_loadWeakRetained),
             QV_SYMBOL(objc_loadWeak),
             QV_SYMBOL(objc_destroyWeak),
             QV_SYMBOL(objc_copyWeak),
             QV_SYMBOL(objc_moveWeak)}});
  // libSystem re-exports libsystem_c, libsystem_malloc, libdispatch, libsystem_blocks and
  // libdyld: an image links libSystem and finds their symbols there.
  host.add({"/usr/lib/libSystem.B.dylib",
            "/usr/lib/libSystem.B.dylib",
            {QV_SYMBOL(calloc),
             QV_SYMBOL(free),
             QV_SYMBOL(strcmp),
             QV_SYMBOL(memcpy),
             QV_SYMBOL(memmove),
             QV_SYMBOL(memset),
             QV_SYMBOL(dispatch_async),
             QV_SYMBOL(_dispatch_main_q),
             QV_SYMBOL(_NSConcreteStackBlock),
             QV_SYMBOL(_NSConcreteMallocBlock),
             QV_SYMBOL(_NSConcreteGlobalBlock),
             QV_SYMBOL(_Block_copy),
             QV_SYMBOL(_Block_release),
             QV_SYMBOL(_Block_object_assign),
             QV_SYMBOL(_Block_object_dispose),
             QV_SYMBOL_AS("__stack_chk_guard", &stackGuard),
             QV_SYMBOL_AS("__stack_chk_fail", &stackCheckFailed),
             // Mach-O names it without the C underscore.
             {"dyld_stub_binder", HostSymbol{reinterpret_cast<const void*>(&stubBinderReached)}}}});
  host.add({"/usr/lib/libc++.1.dylib",
            "/usr/lib/libc++.1.dylib",
            {QV_SYMBOL_AS("__cxa_guard_acquire", &__cxxabiv1::__cxa_guard_acquire),
             QV_SYMBOL_AS("__cxa_guard_release", &__cxxabiv1::__cxa_guard_release),
             QV_SYMBOL_AS("__cxa_guard_abort", &__cxxabiv1::__cxa_guard_abort)}});
  host.add(
      {"/System/Library/Frameworks/CoreFoundation.framework/CoreFoundation",
       "/System/Library/Frameworks/CoreFoundation.framework/CoreFoundation",
       {QV_SYMBOL(kCFPreferencesCurrentUser), QV_SYMBOL(kCFPreferencesAnyUser),
        QV_SYMBOL(kCFPreferencesCurrentHost), QV_SYMBOL(kCFPreferencesAnyHost),
        QV_SYMBOL(CFRelease), QV_SYMBOL(CFPreferencesAppSynchronize),
        QV_SYMBOL(CFPreferencesCopyKeyList), QV_SYMBOL(CFPreferencesSetAppValue),
        QV_SYMBOL(CFPreferencesCopyMultiple), QV_SYMBOL(CFNotificationCenterGetDarwinNotifyCenter),
        withArm64eEntry("CFNotificationCenterAddObserver", &CFNotificationCenterAddObserver,
                        &addObserverArm64e),
        QV_SYMBOL(CFNotificationCenterPostNotification)}});
  host.add({"/System/Library/Frameworks/Foundation.framework/Foundation",
            "/System/Library/Frameworks/Foundation.framework/Foundation",
            {entry("NSLog", &NSLog, appleVariadicEntry("NSLog")), QV_SYMBOL(NSHomeDirectory),
             QV_SYMBOL(NSClassFromString)}});
  host.add({"/System/Library/Frameworks/CoreGraphics.framework/CoreGraphics",
            "/System/Library/Frameworks/CoreGraphics.framework/CoreGraphics",
            {QV_SYMBOL(CGImageGetColorSpace), QV_SYMBOL(CGBitmapContextCreate),
             QV_SYMBOL(CGContextDrawImage), QV_SYMBOL(CGContextRelease)}});
  // Frameworks the library links for their classes alone, found by name at run time: linking
  // them loads them (runtime/system_images.h), with nothing to bind.
  for (const char* framework : {runtime::kLocalAuthentication, runtime::kQuartzCore,
                                runtime::kMobileCoreServices, runtime::kInstallCoordination}) {
    host.add({framework, framework, {}});
  }
  // The rootless substrate: an image finds it through @rpath and its LC_RPATH.
  host.add({"@rpath/CydiaSubstrate.framework/CydiaSubstrate",
            "/var/jb/Library/Frameworks/CydiaSubstrate.framework/CydiaSubstrate",
            {withArm64eEntry("MSHookMessageEx", &MSHookMessageEx, &hookMessageArm64e)}});
  return host;
}

}  // namespace

const SystemLibrary* SystemLibraries::atPath(const std::string& path) const {
  for (const SystemLibrary& library : libraries_) {
    if (library.path == path) return &library;
  }
  return nullptr;
}

const SystemLibraries& SystemLibraries::host() {
  static const SystemLibraries* table = new SystemLibraries(makeHost());
  return *table;
}

}  // namespace qv::macho
