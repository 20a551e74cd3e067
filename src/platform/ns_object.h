// Typed handles over Foundation objects. A handle holds one `id` and sends one message per
// method; it owns nothing (the Cocoa rules apply: alloc/new/copy/mutableCopy results are
// owned, everything else is autoreleased; qv::StrongRef holds a reference). A nil handle answers
// every message with zero, as a message to nil does.
#pragma once

#include "platform/objc.h"

namespace NS {

class String;

// Interned class lookups, cached per call site.
#define CLASS(name)                                  \
  ([]() -> Class {                                   \
    static const Class qv_cls = objc_getClass(name); \
    return qv_cls;                                   \
  }())

class Object {
 public:
  constexpr Object() = default;
  constexpr explicit Object(id obj) : obj_(obj) {}

  id get() const { return obj_; }
  operator id() const { return obj_; }  // NOLINT: passes wherever an object is expected
  explicit operator bool() const { return obj_ != nil; }

  template <class R = id, class... A>
  R send(SEL sel, A... args) const {
    return msgSend<R>(obj_, sel, args...);
  }

  Class getClass() const { return object_getClass(obj_); }
  bool isKindOfClass(Class cls) const { return send<BOOL>(SELECTOR("isKindOfClass:"), asId(cls)); }
  bool respondsToSelector(SEL sel) const {
    return send<BOOL>(SELECTOR("respondsToSelector:"), sel);
  }
  bool isEqual(id other) const { return send<BOOL>(SELECTOR("isEqual:"), other); }
  NSUInteger hash() const { return send<NSUInteger>(SELECTOR("hash")); }
  String description() const;
  Object valueForKey(const String& key) const;

  // Conversions that strings and numbers answer; check respondsToSelector first when the
  // object may be of another kind.
  bool boolValue() const { return send<BOOL>(SELECTOR("boolValue")); }
  float floatValue() const { return send<float>(SELECTOR("floatValue")); }
  int intValue() const { return send<int>(SELECTOR("intValue")); }

  // Hands an owned reference (an alloc, new, copy or mutableCopy result) to the current
  // autorelease pool, to return it as the Cocoa rules have it; holders are in ownership.h.
  Object autorelease() const { return Object(objc_autorelease(obj_)); }

 protected:
  id obj_ = nil;
};

}  // namespace NS
