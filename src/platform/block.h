// Blocks: objects that wrap a callable (alert handlers, authentication replies, queued work).
#pragma once

#include <functional>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "platform/objc.h"

#pragma GCC visibility push(default)
extern "C" {
// A block object owning `context`, which `destroy` frees when the block is deallocated.
// `signature` names the callable's type; invoking with another type aborts.
id qv_block_create(void* context, void (*destroy)(void*), const char* signature);
// The context of a block made with the same signature.
void* qv_block_context(id block, const char* signature);
}
#pragma GCC visibility pop

namespace qv {

// An autoreleased block running `fn` when invoked.
template <class... A>
id makeBlock(std::type_identity_t<std::function<void(A...)>> fn) {
  using Fn = std::function<void(A...)>;
  auto* context = new Fn(std::move(fn));
  id block = qv_block_create(
      context, [](void* c) { delete static_cast<Fn*>(c); }, typeid(Fn).name());
  return objc_autorelease(block);
}

template <class... A>
void invokeBlock(id block, A... args) {
  if (!block) return;
  using Fn = std::function<void(A...)>;
  auto* fn = static_cast<Fn*>(qv_block_context(block, typeid(Fn).name()));
  (*fn)(args...);
}

}  // namespace qv
