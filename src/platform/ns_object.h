// Typed handles over Foundation objects. A handle holds one `id` and sends one message per
// method; it owns nothing (the Cocoa rules apply: alloc/new/copy/mutableCopy results are
// owned, everything else is autoreleased). A nil handle answers every message with zero, as
// a message to nil does.
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

  Object retain() const { return Object(objc_retain(obj_)); }
  void release() const { objc_release(obj_); }
  Object autorelease() const { return Object(objc_autorelease(obj_)); }

 protected:
  id obj_ = nil;
};

// Holds an owned reference for the lifetime of the scope.
template <class T>
class Owned {
 public:
  Owned() = default;
  // Takes over a +1 reference.
  explicit Owned(T owned) : obj_(owned) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& o) noexcept : obj_(o.obj_) { o.obj_ = T(); }
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) {
      obj_.release();
      obj_ = o.obj_;
      o.obj_ = T();
    }
    return *this;
  }
  ~Owned() { obj_.release(); }

  const T& get() const { return obj_; }
  const T* operator->() const { return &obj_; }
  explicit operator bool() const { return static_cast<bool>(obj_); }

 private:
  T obj_;
};

// A copyable owning reference, for values captured by blocks.
template <class T>
class Retained {
 public:
  Retained() = default;
  explicit Retained(T obj) : obj_(T(objc_retain(obj.get()))) {}
  Retained(const Retained& o) : obj_(T(objc_retain(o.obj_.get()))) {}
  Retained& operator=(const Retained& o) {
    if (this != &o) {
      objc_retain(o.obj_.get());
      obj_.release();
      obj_ = o.obj_;
    }
    return *this;
  }
  ~Retained() { obj_.release(); }
  const T& get() const { return obj_; }

 private:
  T obj_;
};

// A copyable weak reference: reads as nil once its object has been deallocated.
class Weak {
 public:
  Weak() = default;
  explicit Weak(id obj) { objc_initWeak(&slot_, obj); }
  Weak(const Weak& o) { objc_copyWeak(&slot_, const_cast<id*>(&o.slot_)); }
  Weak& operator=(const Weak& o) {
    if (this != &o) {
      id obj = objc_loadWeakRetained(const_cast<id*>(&o.slot_));
      objc_storeWeak(&slot_, obj);
      objc_release(obj);
    }
    return *this;
  }
  ~Weak() { objc_destroyWeak(&slot_); }
  // The object, retained for the caller (release it), or nil when it is gone.
  id loadRetained() const { return objc_loadWeakRetained(const_cast<id*>(&slot_)); }

 private:
  id slot_ = nil;
};

}  // namespace NS
