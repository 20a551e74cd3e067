// Defines host classes from C++: a name, a superclass, a C++ struct holding the instance
// variables, and methods whose type encodings follow from their C++ signatures.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "runtime/object_layout.h"

namespace qv {

// Offset of a field of a host struct; the structs derive from objc_object, so they are not
// standard-layout, but they have no virtual bases and offsetof is well defined for them.
#define QV_OFFSETOF(type, field)                                                                \
  ([]() -> ptrdiff_t {                                                                          \
    _Pragma("GCC diagnostic push")                                                              \
        _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") return static_cast<ptrdiff_t>( \
            offsetof(type, field));                                                             \
    _Pragma("GCC diagnostic pop")                                                               \
  }())

template <class T = objc_object>
class ClassBuilder {
 public:
  // `superName` null defines a root class.
  ClassBuilder(const char* name, const char* superName) {
    Class super = superName ? objc_getClass(superName) : nullptr;
    if (superName && !super) {
      std::fprintf(stderr, "objc: superclass %s of %s is not defined\n", superName, name);
      std::abort();
    }
    if constexpr (std::is_same_v<T, objc_object>) {
      cls_ = runtime::defineClass(name, super, super ? 0 : sizeof(objc_object), nullptr, nullptr);
    } else {
      cls_ = runtime::defineClass(
          name, super, sizeof(T), [](id obj) { new (static_cast<void*>(obj)) T; },
          [](id obj) { static_cast<T*>(obj)->~T(); });
    }
  }

  template <class R, class... A>
  ClassBuilder& method(const char* sel, R (*fn)(id, SEL, A...)) {
    runtime::setMethod(cls_, sel_registerName(sel), reinterpret_cast<IMP>(fn),
                       qv::encodingOf<R(A...)>());
    return *this;
  }

  template <class R, class... A>
  ClassBuilder& classMethod(const char* sel, R (*fn)(id, SEL, A...)) {
    runtime::setMethod(object_getClass(asId(cls_)), sel_registerName(sel),
                       reinterpret_cast<IMP>(fn), qv::encodingOf<R(A...)>());
    return *this;
  }

  // Names an instance variable that other code may read through the runtime.
  ClassBuilder& ivar(const char* name, ptrdiff_t offset, const char* type = "@") {
    runtime::addIvar(cls_, name, type, offset);
    return *this;
  }

  Class cls() const { return cls_; }

 private:
  Class cls_;
};

// Adds a method to a class defined earlier.
template <class R, class... A>
void defineMethod(Class cls, const char* sel, R (*fn)(id, SEL, A...)) {
  runtime::setMethod(cls, sel_registerName(sel), reinterpret_cast<IMP>(fn),
                     qv::encodingOf<R(A...)>());
}

// Calls the implementation `cls`'s superclass has for `sel`: a method's call to super.
template <class R, class... A>
R sendSuper(Class cls, id self, SEL sel, A... args) {
  IMP imp = class_getMethodImplementation(class_getSuperclass(cls), sel);
  return reinterpret_cast<R (*)(id, SEL, A...)>(imp)(self, sel, args...);
}

// The host struct behind an object of a class built with ClassBuilder<T>.
template <class T>
inline T* fields(id obj) {
  return static_cast<T*>(obj);
}

}  // namespace qv
