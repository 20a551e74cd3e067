// The runtime half of blocks, for host code that takes blocks from callers: keep one with
// copyBlock, call it with invokeBlock.
#pragma once

#include "platform/block.h"
#include "runtime/object_refs.h"

extern "C" {
// Helpers of block literals (compiler-emitted copy and dispose helpers call them) for captured
// objects, blocks and __block variables.
void _Block_object_assign(void* destination, const void* object, int flags);
void _Block_object_dispose(const void* object, int flags);
}

namespace qv::runtime {

// Kinds of captured fields in _Block_object_assign / _Block_object_dispose.
enum BlockFieldKind : int {
  kBlockFieldIsObject = 3,
  kBlockFieldIsBlock = 7,
  kBlockFieldIsByref = 8,
  kBlockFieldIsWeak = 16,
  kBlockByrefCaller = 128,
};

// Defines NSBlock and the three block classes, whose class objects are the _NSConcrete*Block
// symbols. NSObject must exist.
void registerBlockClasses();

// Aborts unless `block` is a block whose signature (when it carries one) is `signature`.
void requireBlock(id block, const char* signature, const char* caller);

// The function a block's invoke field holds, authenticated when arm64e code made the block.
void (*blockInvoke(const BlockLayout* block))();

}  // namespace qv::runtime

namespace qv {

// The heap copy of a block, held (nil for nil): what a method that keeps a caller's block
// stores, as Apple's frameworks copy every block they keep.
inline Strong copyBlock(id block) { return Strong::adopt(static_cast<id>(_Block_copy(block))); }

// Calls a block taking A... (nothing for nil). The block must be one and, when it carries a
// signature, of exactly that type: a mismatch aborts rather than calling with wrong arguments.
template <class... A>
void invokeBlock(id block, A... args) {
  if (!block) return;
  runtime::requireBlock(block, blockEncodingOf<void(A...)>(), "invokeBlock");
  auto* layout = reinterpret_cast<BlockLayout*>(block);
  reinterpret_cast<void (*)(BlockLayout*, A...)>(runtime::blockInvoke(layout))(layout, args...);
}

}  // namespace qv
