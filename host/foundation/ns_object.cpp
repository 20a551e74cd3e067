// NSObject: allocation, reference counting, equality, class and selector queries, and key-value
// reading.
#include <cstdio>
#include <string>

#include "foundation/foundation_internal.h"
#include "runtime/class_builder.h"

namespace qv::host {
namespace {

id nsAlloc(id cls, SEL) { return runtime::createInstance(reinterpret_cast<Class>(cls)); }
id nsNew(id cls, SEL) {
  id obj = nsAlloc(cls, nullptr);
  return msgSend<id>(obj, SELECTOR("init"));
}
id nsClassOfClass(id cls, SEL) { return cls; }
id nsInit(id self, SEL) { return self; }
void nsDealloc(id self, SEL) { runtime::disposeInstance(self); }
id nsRetain(id self, SEL) { return objc_retain(self); }
void nsRelease(id self, SEL) { objc_release(self); }
id nsAutorelease(id self, SEL) { return objc_autorelease(self); }
NSUInteger nsRetainCount(id self, SEL) {
  return static_cast<NSUInteger>(self->retainCount.load(std::memory_order_relaxed));
}
BOOL nsIsEqual(id self, SEL, id other) { return self == other; }
NSUInteger nsHash(id self, SEL) { return reinterpret_cast<NSUInteger>(self); }
id nsDescription(id self, SEL) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "<%s: %p>", class_getName(object_getClass(self)),
                static_cast<void*>(self));
  return makeString(buf);
}
BOOL nsRespondsToSelector(id self, SEL, SEL sel) {
  return class_respondsToSelector(object_getClass(self), sel);
}
id nsClass(id self, SEL) { return asId(object_getClass(self)); }
BOOL nsIsKindOfClass(id self, SEL, id cls) {
  for (Class c = object_getClass(self); c; c = class_getSuperclass(c)) {
    if (asId(c) == cls) return YES;
  }
  return NO;
}
id nsSelf(id self, SEL) { return self; }
// As NSObject's: an object whose class does not implement copyWithZone: cannot be copied, and
// the send fails as an unrecognized selector.
id nsCopy(id self, SEL) {
  return msgSend<id>(self, SELECTOR("copyWithZone:"), static_cast<void*>(nullptr));
}
id nsMutableCopy(id self, SEL) {
  return msgSend<id>(self, SELECTOR("mutableCopyWithZone:"), static_cast<void*>(nullptr));
}

// Boxes a value read through a getter or an instance variable of the given encoding.
id boxed(char type, const void* value) {
  switch (type) {
    case '@':
    case '#':
      return *static_cast<const id*>(value);
    case 'B':
      return makeBool(*static_cast<const bool*>(value));
    case 'c':
      return makeBool(*static_cast<const signed char*>(value) != 0);
    case 'i':
      return makeInteger(*static_cast<const int*>(value));
    case 'q':
      return makeInteger(*static_cast<const long*>(value));
    case 'Q':
      return makeInteger(static_cast<long long>(*static_cast<const unsigned long*>(value)));
    case 'f':
      return makeDouble(*static_cast<const float*>(value));
    case 'd':
      return makeDouble(*static_cast<const double*>(value));
    default:
      return nil;
  }
}

template <class T>
id callGetter(id self, SEL sel) {
  T v = msgSend<T>(self, sel);
  return boxed(qv::Encoding<T>::value[0], &v);
}

// Key-value reading: a getter named like the key, else an instance variable "_key" or "key".
id nsValueForKey(id self, SEL, id key) {
  std::string name = stdString(key);
  Class cls = object_getClass(self);
  SEL getter = sel_registerName(name.c_str());
  if (const objc_method_entry* m = runtime::findMethod(cls, getter)) {
    switch (m->types.empty() ? '@' : m->types[0]) {
      case 'B':
        return callGetter<bool>(self, getter);
      case 'q':
        return callGetter<long>(self, getter);
      case 'Q':
        return callGetter<unsigned long>(self, getter);
      case 'i':
        return callGetter<int>(self, getter);
      case 'd':
        return callGetter<double>(self, getter);
      case 'f':
        return callGetter<float>(self, getter);
      case '@':
        return msgSend<id>(self, getter);
      default:
        break;
    }
  }
  for (const std::string& ivarName : {"_" + name, name}) {
    if (Ivar ivar = class_getInstanceVariable(cls, ivarName.c_str())) {
      const char* base = reinterpret_cast<const char*>(self) + ivar_getOffset(ivar);
      const char* type = ivar_getTypeEncoding(ivar);
      return boxed(*type ? type[0] : '@', base);
    }
  }
  std::fprintf(stderr,
               "[<%s %p> valueForUndefinedKey:]: this class is not key value "
               "coding-compliant for the key %s.\n",
               class_getName(cls), static_cast<void*>(self), name.c_str());
  std::abort();
}

}  // namespace

void registerNSObject() {
  ClassBuilder<>("NSObject", nullptr)
      .classMethod("alloc", nsAlloc)
      .classMethod("new", nsNew)
      .classMethod("class", nsClassOfClass)
      .method("init", nsInit)
      .method("dealloc", nsDealloc)
      .method("retain", nsRetain)
      .method("release", nsRelease)
      .method("autorelease", nsAutorelease)
      .method("retainCount", nsRetainCount)
      .method("isEqual:", nsIsEqual)
      .method("hash", nsHash)
      .method("description", nsDescription)
      .method("respondsToSelector:", nsRespondsToSelector)
      .method("class", nsClass)
      .method("isKindOfClass:", nsIsKindOfClass)
      .method("self", nsSelf)
      .method("copy", nsCopy)
      .method("mutableCopy", nsMutableCopy)
      .method("valueForKey:", nsValueForKey);
}

}  // namespace qv::host
