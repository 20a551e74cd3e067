// Owning and weak references to objects, for host structs and host-side C++ code.
#pragma once

#include <utility>

#include "platform/objc.h"

namespace qv {

// Retains what it holds and releases it when replaced or destroyed. Layout-compatible with a
// plain `id`, so an instance variable of this type reads as an object pointer.
class Strong {
 public:
  Strong() = default;
  Strong(id obj) : obj_(objc_retain(obj)) {}  // NOLINT: converts like an ObjC assignment
  Strong(const Strong& o) : obj_(objc_retain(o.obj_)) {}
  Strong(Strong&& o) noexcept : obj_(std::exchange(o.obj_, nil)) {}
  ~Strong() { objc_release(obj_); }
  Strong& operator=(const Strong& o) {
    reset(o.obj_);
    return *this;
  }
  Strong& operator=(Strong&& o) noexcept {
    if (this != &o) {
      objc_release(obj_);
      obj_ = std::exchange(o.obj_, nil);
    }
    return *this;
  }
  Strong& operator=(id obj) {
    reset(obj);
    return *this;
  }
  // Takes over an owned (+1) reference without retaining it again.
  static Strong adopt(id owned) {
    Strong s;
    s.obj_ = owned;
    return s;
  }
  void reset(id obj = nil) {
    id old = obj_;
    obj_ = objc_retain(obj);
    objc_release(old);
  }
  id get() const { return obj_; }
  operator id() const { return obj_; }  // NOLINT
  explicit operator bool() const { return obj_ != nil; }

 private:
  id obj_ = nil;
};

// Does not keep its object alive; reads as nil once the object is deallocated.
class Weak {
 public:
  Weak() = default;
  Weak(id obj) { objc_initWeak(&slot_, obj); }  // NOLINT
  Weak(const Weak& o) { objc_copyWeak(&slot_, const_cast<id*>(&o.slot_)); }
  Weak& operator=(const Weak& o) {
    if (this != &o) {
      Strong s = o.lock();
      objc_storeWeak(&slot_, s.get());
    }
    return *this;
  }
  Weak& operator=(id obj) {
    objc_storeWeak(&slot_, obj);
    return *this;
  }
  ~Weak() { objc_destroyWeak(&slot_); }
  // A strong reference to the object, or nil when it is gone.
  Strong lock() const { return Strong::adopt(objc_loadWeakRetained(const_cast<id*>(&slot_))); }

 private:
  id slot_ = nil;
};

// Pushes an autorelease pool for the lifetime of the scope.
class AutoreleasePool {
 public:
  AutoreleasePool() : token_(objc_autoreleasePoolPush()) {}
  ~AutoreleasePool() { objc_autoreleasePoolPop(token_); }
  AutoreleasePool(const AutoreleasePool&) = delete;
  AutoreleasePool& operator=(const AutoreleasePool&) = delete;

 private:
  void* token_;
};

}  // namespace qv
