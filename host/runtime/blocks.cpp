// Blocks as Apple's runtime keeps them: a stack literal is copied to the heap by _Block_copy,
// a heap block counts its references in its flags (steps of two, bit 0 marks deallocation),
// and the block classes are classes of this runtime, so blocks answer messages, retain,
// release and autorelease like any object.
#include "runtime/blocks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/class_builder.h"
#include "runtime/macho/macho_loader.h"
#include "runtime/macho/pointer_auth.h"
#include "runtime/objc_internal.h"

extern "C" {
void* _NSConcreteStackBlock[32];
void* _NSConcreteMallocBlock[32];
void* _NSConcreteGlobalBlock[32];
}

namespace qv::runtime {
namespace {

static_assert(sizeof(objc_class) <= sizeof(_NSConcreteStackBlock),
              "a block class object lives in its 32-pointer symbol");

// A __block variable's box: on the stack until a block capturing it is copied, then on the
// heap, with `forwarding` leading every user to the current one.
struct Byref {
  void* isa;
  Byref* forwarding;
  int flags;
  unsigned size;
};
struct ByrefHelpers {
  void (*keep)(Byref* destination, Byref* source);
  void (*destroy)(Byref* byref);
};
constexpr int kByrefNeedsFree = 1 << 24;
constexpr int kByrefHasCopyDispose = 1 << 25;

Class stackClass() { return reinterpret_cast<Class>(_NSConcreteStackBlock); }
Class mallocClass() { return reinterpret_cast<Class>(_NSConcreteMallocBlock); }
Class globalClass() { return reinterpret_cast<Class>(_NSConcreteGlobalBlock); }

BlockLayout* layoutOf(const void* block) {
  return static_cast<BlockLayout*>(const_cast<void*>(block));
}

const BlockDescriptor* descriptorOf(const BlockLayout* b) {
  return static_cast<const BlockDescriptor*>(b->descriptor);
}

// Blocks made by an arm64e image are signed as its ABI lays them out (platform/ptrauth.h): the
// isa with data key A and its address blended with 0x6AE1, invoke and the descriptor's helpers
// with instruction key A and their addresses. The runtime authenticates each before it relies
// on it, as libclosure does, so a wrong signature faults here as on a phone. The host's own
// blocks are plain.
constexpr uint16_t kIsaDiversity = 0x6AE1;

bool signedBlock(const BlockLayout* b) {
  auto invoke = macho::stripPointer(reinterpret_cast<uint64_t>(b->invoke), macho::PointerKey::IA);
  return macho::inArm64eImage(invoke);
}

uint64_t addressOf(const void* field) { return reinterpret_cast<uint64_t>(field); }

// A code pointer stored at `field` of a signed block or descriptor.
template <class F>
F authenticatedHelper(F fn, const void* field) {
  return reinterpret_cast<F>(macho::authenticatePointer(reinterpret_cast<uint64_t>(fn),
                                                        macho::PointerKey::IA, addressOf(field)));
}

// The block's class: a signed isa is authenticated and then used, which faults when the
// signature was wrong.
Class blockClassOf(const BlockLayout* b) {
  Class stripped = isaOf(reinterpret_cast<const objc_object*>(b));
  bool blockClass =
      stripped == stackClass() || stripped == mallocClass() || stripped == globalClass();
  if (!blockClass || !signedBlock(b)) return stripped;
  auto isa = reinterpret_cast<Class>(
      macho::authenticatePointer(reinterpret_cast<uint64_t>(b->isa), macho::PointerKey::DA,
                                 macho::blendDiscriminator(addressOf(&b->isa), kIsaDiversity)));
  (void)*reinterpret_cast<volatile const char*>(isa);
  return isa;
}

void (*copyHelper(const BlockLayout* b))(void*, const void*) {
  const BlockDescriptor* d = descriptorOf(b);
  return signedBlock(b) ? authenticatedHelper(d->copy, &d->copy) : d->copy;
}

void (*disposeHelper(const BlockLayout* b))(const void*) {
  const BlockDescriptor* d = descriptorOf(b);
  return signedBlock(b) ? authenticatedHelper(d->dispose, &d->dispose) : d->dispose;
}

// The signature sits after the helpers when the block has them.
const char* signatureOf(const BlockLayout* b) {
  if (!(b->flags & kBlockHasSignature)) return nullptr;
  const auto* words = static_cast<const void* const*>(b->descriptor);
  int index = (b->flags & kBlockHasCopyDispose) ? 4 : 2;
  return static_cast<const char*>(words[index]);
}

[[noreturn]] void blockFailure(const char* caller, const char* what, const char* detail) {
  std::fprintf(stderr, "%s: %s%s\n", caller, what, detail);
  std::fflush(stderr);
  std::abort();
}

// Raises the count unless it is pinned at its highest.
void incrementCount(int* flags) {
  int old = __atomic_load_n(flags, __ATOMIC_RELAXED);
  for (;;) {
    if ((old & kBlockRefCountMask) == kBlockRefCountMask) return;
    if (__atomic_compare_exchange_n(flags, &old, old + 2, true, __ATOMIC_RELAXED,
                                    __ATOMIC_RELAXED)) {
      return;
    }
  }
}

// Lowers the count; true when it reached zero, which marks the block as deallocating.
bool decrementCountToZero(int* flags) {
  int old = __atomic_load_n(flags, __ATOMIC_RELAXED);
  for (;;) {
    int count = old & kBlockRefCountMask;
    if (count == kBlockRefCountMask || count == 0) return false;  // pinned, or already gone
    bool last = (old & (kBlockRefCountMask | kBlockDeallocating)) == 2;
    int updated = last ? old - 1 : old - 2;
    if (__atomic_compare_exchange_n(flags, &old, updated, true, __ATOMIC_ACQ_REL,
                                    __ATOMIC_RELAXED)) {
      return last;
    }
  }
}

Byref* copyByref(Byref* source) {
  Byref* current = source->forwarding;
  if (__atomic_load_n(&current->flags, __ATOMIC_RELAXED) & kByrefNeedsFree) {
    incrementCount(&current->flags);
    return current;
  }
  // Still on the stack: move it to the heap, counting one reference for the block and one for
  // the stack frame, whose end releases it.
  auto* copy = static_cast<Byref*>(std::malloc(source->size));
  if (!copy) std::abort();
  copy->isa = nullptr;
  copy->flags = source->flags | kByrefNeedsFree | 4;
  copy->forwarding = copy;
  source->forwarding = copy;
  copy->size = source->size;
  if (source->flags & kByrefHasCopyDispose) {
    auto* helpers = reinterpret_cast<ByrefHelpers*>(source + 1);
    *reinterpret_cast<ByrefHelpers*>(copy + 1) = *helpers;
    helpers->keep(copy, source);
  } else {
    std::memmove(copy + 1, source + 1, source->size - sizeof(Byref));
  }
  return copy;
}

void releaseByref(Byref* byref) {
  byref = byref->forwarding;
  if (!(__atomic_load_n(&byref->flags, __ATOMIC_RELAXED) & kByrefNeedsFree)) return;
  if (!decrementCountToZero(&byref->flags)) return;
  if (byref->flags & kByrefHasCopyDispose)
    reinterpret_cast<ByrefHelpers*>(byref + 1)->destroy(byref);
  std::free(byref);
}

// Blocks as objects: -copy makes the heap copy; retain and release reach the block runtime
// through the runtime's reference counting.
id blockCopy(id self, SEL) { return static_cast<id>(_Block_copy(self)); }
id blockCopyWithZone(id self, SEL, void*) { return static_cast<id>(_Block_copy(self)); }
unsigned long blockRetainCount(id self, SEL) {
  BlockLayout* b = layoutOf(self);
  if (!(__atomic_load_n(&b->flags, __ATOMIC_RELAXED) & kBlockNeedsFree)) return 1;
  return static_cast<unsigned long>(
      (__atomic_load_n(&b->flags, __ATOMIC_RELAXED) & kBlockRefCountMask) >> 1);
}

}  // namespace

void registerBlockClasses() {
  Class block = ClassBuilder<>("NSBlock", "NSObject")
                    .method("copy", blockCopy)
                    .method("copyWithZone:", blockCopyWithZone)
                    .method("retainCount", blockRetainCount)
                    .cls();
  // Literals are made by code, never allocated: the classes carry no instance layout.
  defineClassAt(_NSConcreteStackBlock, "__NSStackBlock__", block, 0, nullptr, nullptr);
  defineClassAt(_NSConcreteMallocBlock, "__NSMallocBlock__", block, 0, nullptr, nullptr);
  defineClassAt(_NSConcreteGlobalBlock, "__NSGlobalBlock__", block, 0, nullptr, nullptr);
}

bool isBlock(id obj) {
  Class cls = blockClassOf(layoutOf(obj));
  return cls == mallocClass() || cls == stackClass() || cls == globalClass();
}

// Retaining a heap block counts one more reference; stack and global blocks have none to
// count, as on Apple's platforms.
id retainBlock(id block) {
  if (blockClassOf(layoutOf(block)) == mallocClass()) _Block_copy(block);
  return block;
}

void releaseBlock(id block) {
  if (blockClassOf(layoutOf(block)) == mallocClass()) _Block_release(block);
}

void (*blockInvoke(const BlockLayout* b))() {
  return signedBlock(b) ? authenticatedHelper(b->invoke, &b->invoke) : b->invoke;
}

void requireBlock(id block, const char* signature, const char* caller) {
  if (!block) blockFailure(caller, "nil block", "");
  if (!isBlock(block))
    blockFailure(caller, "not a block: an instance of ", isaOf(block)->name.c_str());
  const char* own = signatureOf(layoutOf(block));
  if (own && std::strcmp(own, signature) != 0) {
    std::string detail = std::string("made as ") + own + ", invoked as " + signature;
    blockFailure(caller, "block signature mismatch: ", detail.c_str());
  }
}

}  // namespace qv::runtime

using namespace qv;
using namespace qv::runtime;

extern "C" {

void* _Block_copy(const void* block) {
  if (!block) return nullptr;
  BlockLayout* source = layoutOf(block);
  // A heap block's flags change under other threads' copies and releases.
  int flags = __atomic_load_n(&source->flags, __ATOMIC_RELAXED);
  if (flags & kBlockNeedsFree) {
    incrementCount(&source->flags);
    return source;
  }
  if (flags & kBlockIsGlobal) return source;
  size_t size = descriptorOf(source)->size;
  auto* copy = static_cast<BlockLayout*>(std::malloc(size));
  if (!copy) std::abort();
  bool sign = signedBlock(source);
  if (sign) blockClassOf(source);  // authenticates the isa it copies
  std::memmove(copy, source, size);
  copy->flags &= ~(kBlockRefCountMask | kBlockDeallocating);
  copy->flags |= kBlockNeedsFree | 2;
  copy->isa = _NSConcreteMallocBlock;
  if (sign) {
    // Signed again for where they now live, as libclosure moves a block to the heap.
    copy->isa = reinterpret_cast<void*>(macho::signPointer(
        reinterpret_cast<uint64_t>(_NSConcreteMallocBlock), macho::PointerKey::DA,
        macho::blendDiscriminator(addressOf(&copy->isa), kIsaDiversity)));
    copy->invoke = reinterpret_cast<void (*)()>(
        macho::signPointer(reinterpret_cast<uint64_t>(blockInvoke(source)), macho::PointerKey::IA,
                           addressOf(&copy->invoke)));
  }
  if (source->flags & kBlockHasCopyDispose) copyHelper(source)(copy, source);
  return copy;
}

void _Block_release(const void* block) {
  if (!block) return;
  BlockLayout* b = layoutOf(block);
  int flags = __atomic_load_n(&b->flags, __ATOMIC_RELAXED);
  if (!(flags & kBlockNeedsFree)) return;  // stack and global blocks are not counted
  if (!decrementCountToZero(&b->flags)) return;
  if (flags & kBlockHasCopyDispose) disposeHelper(b)(b);
  std::free(b);
}

void _Block_object_assign(void* destination, const void* object, int flags) {
  auto* slot = static_cast<const void**>(destination);
  switch (flags) {
    case kBlockFieldIsObject:
      objc_retain(static_cast<id>(const_cast<void*>(object)));
      *slot = object;
      return;
    case kBlockFieldIsBlock:
      *slot = _Block_copy(object);
      return;
    case kBlockFieldIsByref:
    case kBlockFieldIsByref | kBlockFieldIsWeak:
      *slot = copyByref(static_cast<Byref*>(const_cast<void*>(object)));
      return;
    default:
      // From a __block variable's own helpers: the variable is not retained there.
      if (flags & kBlockByrefCaller) {
        *slot = object;
        return;
      }
      blockFailure("_Block_object_assign", "unknown field kind", "");
  }
}

void _Block_object_dispose(const void* object, int flags) {
  switch (flags) {
    case kBlockFieldIsObject:
      objc_release(static_cast<id>(const_cast<void*>(object)));
      return;
    case kBlockFieldIsBlock:
      _Block_release(object);
      return;
    case kBlockFieldIsByref:
    case kBlockFieldIsByref | kBlockFieldIsWeak:
      releaseByref(static_cast<Byref*>(const_cast<void*>(object)));
      return;
    default:
      if (flags & kBlockByrefCaller) return;
      blockFailure("_Block_object_dispose", "unknown field kind", "");
  }
}

}  // extern "C"
