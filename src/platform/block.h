// Blocks as the published Block ABI lays them out, for the system calls that take one (alert
// handlers, authentication replies, main-queue work). The library builds its block literals
// here in plain C++, with the same layout, flags and helpers a compiler with blocks emits; the
// system half (_Block_copy, the block classes) belongs to the platform.
#pragma once

#include <cstddef>

#include "platform/encoding.h"
#include "platform/freestanding.h"
#include "platform/objc.h"
#include "platform/ptrauth.h"

#pragma GCC visibility push(default)
extern "C" {
// The classes of blocks: a literal on the stack, a copy on the heap, one without captures.
// Each symbol is the class object itself.
extern void* _NSConcreteStackBlock[32];
extern void* _NSConcreteMallocBlock[32];
extern void* _NSConcreteGlobalBlock[32];

// A heap copy of a stack block (a heap block gains a reference; a global block is returned as
// it is), and its release.
void* _Block_copy(const void* block);
void _Block_release(const void* block);
}
#pragma GCC visibility pop

namespace qv {

// Flags of a block literal.
enum BlockFlags : int {
  kBlockDeallocating = 1,
  kBlockRefCountMask = 0xfffe,  // a heap block's count, in steps of two
  kBlockNeedsFree = 1 << 24,
  kBlockHasCopyDispose = 1 << 25,
  kBlockHasCtor = 1 << 26,
  kBlockIsGlobal = 1 << 28,
  kBlockUseStret = 1 << 29,
  kBlockHasSignature = 1 << 30,
};

// The start of every block literal.
struct BlockLayout {
  void* QV_PTRAUTH_BLOCK_ISA isa;
  int flags;
  int reserved;
  void (*QV_PTRAUTH_BLOCK_INVOKE invoke)();  // called as R(*)(BlockLayout*, A...)
  const void* descriptor;
};

// The descriptor of a literal with copy and dispose helpers and a signature.
struct BlockDescriptor {
  unsigned long reserved;
  unsigned long size;  // of the whole literal, captures included
  void (*QV_PTRAUTH_BLOCK_HELPER copy)(void* destination, const void* source);
  void (*QV_PTRAUTH_BLOCK_HELPER dispose)(const void* block);
  const char* signature;
  const char* layout;
};

// A block literal taking A... and returning nothing, that captures `fn` (copied by value, as a
// block captures a C++ object). Like a literal written in a function it lives on the stack,
// for as long as this object: whoever keeps the block past that copies it with _Block_copy,
// which copy-constructs the capture into the heap copy; _Block_release destroys it there.
template <class F, class... A>
class StackBlock {
  struct Literal {
    void* QV_PTRAUTH_BLOCK_ISA isa;
    int flags;
    int reserved;
    void (*QV_PTRAUTH_BLOCK_INVOKE invoke)(BlockLayout*, A...);
    const BlockDescriptor* descriptor;
    F fn;
  };

  // Typed as every caller calls it: through the layout every block starts with.
  static void invoke(BlockLayout* self, A... args) {
    reinterpret_cast<Literal*>(self)->fn(args...);
  }
  static void copyCapture(void* destination, const void* source) {
    new (&static_cast<Literal*>(destination)->fn, InPlace{})
        F(static_cast<const Literal*>(source)->fn);
  }
  static void disposeCapture(const void* block) {
    const_cast<Literal*>(static_cast<const Literal*>(block))->fn.~F();
  }

  static constexpr BlockDescriptor kDescriptor = {
      0, sizeof(Literal), &copyCapture, &disposeCapture, blockEncodingOf<void(A...)>(), nullptr};
  static constexpr int kFlags = kBlockHasCopyDispose | kBlockHasCtor | kBlockHasSignature;

 public:
  explicit StackBlock(F fn)
      : literal_{_NSConcreteStackBlock, kFlags, 0, &invoke, &kDescriptor, qv::move(fn)} {}
  StackBlock(const StackBlock&) = delete;
  StackBlock& operator=(const StackBlock&) = delete;

  id get() const { return reinterpret_cast<id>(const_cast<Literal*>(&literal_)); }
  operator id() const { return get(); }  // NOLINT: passes wherever a block is expected

 private:
  Literal literal_;
};

// A block literal taking A... (given explicitly) that runs `fn`: pass it straight to the call
// that takes it, or keep it in a local for the calls of one scope.
template <class... A, class F>
StackBlock<F, A...> makeBlock(F fn) {
  return StackBlock<F, A...>(qv::move(fn));
}

}  // namespace qv
