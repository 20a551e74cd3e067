// The object runtime's C interface, as the library sees it, plus a typed message send.
//
// Objects and classes are opaque here: the library only ever reaches them through
// these functions and message sends, exactly as it would through the system runtime.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/encoding.h"

// What the library exports by name: visible to the process that loads it.
#define QV_EXPORT __attribute__((visibility("default")))
// Diagnostics for the host's tools. On a device they are not exported, but kept (the linker
// would strip them as unused) so that a host running the phone's dylib finds them in its
// symbol table, as a debugger does.
#if defined(__APPLE__)
#define QV_HOST_DIAGNOSTIC __attribute__((visibility("hidden"), used))
#else
#define QV_HOST_DIAGNOSTIC __attribute__((visibility("default")))
#endif

#pragma GCC visibility push(default)

struct objc_object;
struct objc_class;
struct objc_selector;
struct objc_ivar;

typedef objc_object* id;
typedef objc_class* Class;
typedef const objc_selector* SEL;
typedef void (*IMP)(void);
typedef objc_ivar* Ivar;
typedef bool BOOL;
typedef long NSInteger;
typedef unsigned long NSUInteger;

#define YES true
#define NO false
#define nil nullptr

extern "C" {
Class objc_getClass(const char* name);
Class object_getClass(id obj);
const char* class_getName(Class cls);
Class class_getSuperclass(Class cls);
SEL sel_registerName(const char* name);
const char* sel_getName(SEL sel);
BOOL class_addMethod(Class cls, SEL name, IMP imp, const char* types);
Ivar class_getInstanceVariable(Class cls, const char* name);
ptrdiff_t ivar_getOffset(Ivar ivar);
IMP class_getMethodImplementation(Class cls, SEL name);
BOOL class_respondsToSelector(Class cls, SEL sel);

// Jump to the receiver's implementation with the caller's arguments in place; called through
// a pointer of the implementation's exact type. The receiver must not be nil.
void objc_msgSend(void);
#if defined(__x86_64__)
// x86-64 returns large structures through memory, with a variant of its own; arm64 returns
// results of any size through objc_msgSend.
void objc_msgSend_stret(void);
#endif

#ifdef QV_CHECKED_SENDS
// Diagnostics of the Linux host's runtime, in checked builds only. The first finds the
// implementation a message to `obj` runs, aborting naming the class and selector when nothing
// answers it; the second compares a send's argument types with the method's type encoding.
IMP objc_msg_lookup(id obj, SEL sel);
void objc_checkSend(id obj, SEL sel, const char* types);
// The same comparison for a method of a class, before a hook replaces it; nothing when the
// class has no such method.
void objc_checkMethodTypes(Class cls, SEL sel, const char* types);
#endif

id objc_retain(id obj);
void objc_release(id obj);
// Stores `obj` retained into the strong variable at `location`, releasing what it held.
void objc_storeStrong(id* location, id obj);
id objc_autorelease(id obj);
void* objc_autoreleasePoolPush(void);
void objc_autoreleasePoolPop(void* token);

// Zeroing weak references: the runtime clears `*location` when the object is deallocated.
id objc_initWeak(id* location, id obj);
id objc_storeWeak(id* location, id obj);
id objc_loadWeakRetained(id* location);
id objc_loadWeak(id* location);
void objc_destroyWeak(id* location);
void objc_copyWeak(id* to, id* from);
void objc_moveWeak(id* to, id* from);
}

#pragma GCC visibility pop

// A class object is itself an object: message it to reach class methods.
inline id asId(Class cls) { return reinterpret_cast<id>(cls); }

// Interned selectors and looked-up classes are cached per call site.
#define SELECTOR(name)                                \
  ([]() -> SEL {                                      \
    static const SEL qv_sel = sel_registerName(name); \
    return qv_sel;                                    \
  }())

namespace qv {

// The entry point a send returning R goes through: on x86-64 results of more than 16 bytes
// come back through a hidden pointer argument and take the _stret variant.
template <class R>
inline IMP sendEntry() {
#if defined(__x86_64__)
  if constexpr (std::is_class_v<R>) {
    if constexpr (sizeof(R) > 16) return objc_msgSend_stret;
  }
#endif
  return objc_msgSend;
}

// Anything that converts to `id` (the typed wrappers) travels through a send as `id`.
template <class T>
using SendArg = std::conditional_t<!std::is_arithmetic_v<T> && !std::is_pointer_v<T> &&
                                       std::is_convertible_v<T, id> && !std::is_enum_v<T>,
                                   id, T>;

// Checked builds compare the types of a call of `sel` on `receiver` (R and A..., after self
// and _cmd) with the type encoding of the receiver's method, and abort on a difference; other
// builds check nothing.
template <class R, class... A>
inline void checkCall(id receiver, SEL sel) {
#ifdef QV_CHECKED_SENDS
  if (receiver) objc_checkSend(receiver, sel, encodingOf<R(SendArg<A>...)>());
#else
  (void)receiver;
  (void)sel;
#endif
}

}  // namespace qv

// Sends `sel` to `receiver` with `args`, calling the implementation through a function
// pointer of exactly the type R(*)(id, SEL, Args...). A nil receiver runs nothing and
// returns R{}.
template <class R = id, class... Args>
inline R msgSend(id receiver, SEL sel, Args... args) {
  if (receiver == nil) {
    if constexpr (std::is_void_v<R>) {
      return;
    } else {
      return R{};
    }
  }
  using Fn = R (*)(id, SEL, qv::SendArg<Args>...);
#ifdef QV_CHECKED_SENDS
  IMP imp = objc_msg_lookup(receiver, sel);
  qv::checkCall<R, Args...>(receiver, sel);
#else
  IMP imp = qv::sendEntry<R>();
#endif
  return reinterpret_cast<Fn>(imp)(receiver, sel, static_cast<qv::SendArg<Args>>(args)...);
}

// The same for a class method.
template <class R = id, class... Args>
inline R msgSend(Class receiver, SEL sel, Args... args) {
  return msgSend<R>(asId(receiver), sel, args...);
}
