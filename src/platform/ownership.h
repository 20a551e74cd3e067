// Holding objects: a typed strong reference and a typed weak one, after the runtime's
// objc_storeStrong and objc_loadWeakRetained. T is `id` or one of the typed handles (NS::String,
// UI::View, ...), which hold nothing but the object pointer, so a holder is laid out as one.
#pragma once

#include <concepts>
#include <type_traits>

#include "platform/freestanding.h"
#include "platform/objc.h"

namespace qv {

// The object a handle stands for.
inline id objectOf(id object) { return object; }
template <class T>
requires requires(const T& handle) {
  { handle.get() } -> std::same_as<id>;
}
inline id objectOf(const T& handle) { return handle.get(); }

// A strong reference: retains what it holds and releases it when replaced or destroyed.
// Construction from an object retains it (implicitly for plain `id`, as an assignment to a
// strong variable does; explicitly for typed handles); adopt() takes over a reference the
// caller owns (an alloc, new, copy or mutableCopy result) without retaining it again.
template <class T>
class StrongRef {
 public:
  StrongRef() = default;
  explicit(!std::is_same_v<T, id>) StrongRef(T object) : object_(object) {
    objc_retain(objectOf(object_));
  }
  static StrongRef adopt(T owned) {
    StrongRef held;
    held.object_ = owned;
    return held;
  }
  StrongRef(const StrongRef& other) : object_(other.object_) { objc_retain(objectOf(object_)); }
  StrongRef(StrongRef&& other) noexcept : object_(other.object_) { other.object_ = T(); }
  ~StrongRef() { objc_release(objectOf(object_)); }
  StrongRef& operator=(const StrongRef& other) {
    reset(other.object_);
    return *this;
  }
  StrongRef& operator=(StrongRef&& other) noexcept {
    if (this != &other) {
      objc_release(objectOf(object_));
      object_ = other.object_;
      other.object_ = T();
    }
    return *this;
  }
  StrongRef& operator=(T object) {
    reset(object);
    return *this;
  }

  // Holds `object` instead (retained) and lets go of what was held.
  void reset(T object = T()) {
    T old = object_;
    object_ = object;
    objc_retain(objectOf(object_));
    objc_release(objectOf(old));
  }

  const T& get() const { return object_; }
  const T* operator->() const { return &object_; }
  operator id() const { return objectOf(object_); }  // NOLINT: passes wherever an object goes
  explicit operator bool() const { return objectOf(object_) != nil; }

 private:
  T object_ = T();
};

// A weak reference: does not keep its object alive and reads as nil once it is deallocated.
template <class T>
class WeakRef {
 public:
  WeakRef() = default;
  explicit(!std::is_same_v<T, id>) WeakRef(T object) { objc_initWeak(&slot_, objectOf(object)); }
  WeakRef(const WeakRef& other) { objc_copyWeak(&slot_, &other.slot_); }
  WeakRef& operator=(const WeakRef& other) {
    if (this != &other) {
      StrongRef<T> object = other.load();
      objc_storeWeak(&slot_, objectOf(object.get()));
    }
    return *this;
  }
  WeakRef& operator=(T object) {
    objc_storeWeak(&slot_, objectOf(object));
    return *this;
  }
  ~WeakRef() { objc_destroyWeak(&slot_); }

  // The object, held strongly for as long as the result lives; nil once it is gone.
  StrongRef<T> load() const { return StrongRef<T>::adopt(T(objc_loadWeakRetained(&slot_))); }

 private:
  mutable id slot_ = nil;
};

// Replaces what a process-wide strong variable (such as an exported one) holds: the new value
// is retained, the old one released.
inline void storeStrong(id* variable, id value) { objc_storeStrong(variable, value); }

}  // namespace qv
