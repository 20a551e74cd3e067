// The object runtime's C interface, as the library sees it, plus a typed message send.
//
// Objects and classes are opaque here: the library only ever reaches them through
// these functions and message sends, exactly as it would through the system runtime.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/encoding.h"

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
// a pointer of the implementation's exact type. The receiver must not be nil. The _stret
// variant is for results returned through memory.
void objc_msgSend(void);
void objc_msgSend_stret(void);

// Finds the implementation a message to `obj` runs; aborts naming the class and selector
// when nothing answers it, as the system runtime does.
IMP objc_msg_lookup(id obj, SEL sel);
// Checked builds compare a send's argument types with the method's type encoding.
void objc_checkSend(id obj, SEL sel, const char* types);

id objc_retain(id obj);
void objc_release(id obj);
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

// Anything that converts to `id` (the typed wrappers) travels through a send as `id`.
// Results of more than 16 bytes come back through a hidden pointer argument.
template <class R>
constexpr bool returnsInMemory() {
  if constexpr (std::is_class_v<R>) {
    return sizeof(R) > 16;
  } else {
    return false;
  }
}

template <class T>
using SendArg = std::conditional_t<!std::is_arithmetic_v<T> && !std::is_pointer_v<T> &&
                                       std::is_convertible_v<T, id> && !std::is_enum_v<T>,
                                   id, T>;

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
  objc_checkSend(receiver, sel, qv::encodingOf<R(qv::SendArg<Args>...)>());
#else
  IMP imp = qv::returnsInMemory<R>() ? objc_msgSend_stret : objc_msgSend;
#endif
  return reinterpret_cast<Fn>(imp)(receiver, sel, static_cast<qv::SendArg<Args>>(args)...);
}

// The same for a class method.
template <class R = id, class... Args>
inline R msgSend(Class receiver, SEL sel, Args... args) {
  return msgSend<R>(asId(receiver), sel, args...);
}
