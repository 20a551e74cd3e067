// Owning and weak references for host structs and host-side C++ code: the library's own
// holders, for plain `id`. A Strong is laid out as a plain `id`, so an instance variable of
// this type reads as an object pointer.
#pragma once

#include "platform/objc.h"
#include "platform/ownership.h"

namespace qv {

using Strong = StrongRef<id>;
using Weak = WeakRef<id>;

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
