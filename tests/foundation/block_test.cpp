// ctest-labels: threads
// Blocks follow the Block ABI: the library's hand-built literals look and copy like clang's,
// clang's literals run in the host, and blocks count references like any object.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/main_loop.h"
#include "platform/dispatch.h"
#include "runtime/blocks.h"
#include "support/block_literals.h"

namespace {

using qv::BlockDescriptor;
using qv::BlockLayout;

class Blocks : public testing::Test {
 protected:
  void SetUp() override {
    qv::host::registerFoundation();
    qv::host::markMainThread();
  }
};
using BlocksDeathTest = Blocks;

BlockLayout* layout(id block) { return reinterpret_cast<BlockLayout*>(block); }

const char* signatureOf(id block) {
  const auto* words = static_cast<const void* const*>(layout(block)->descriptor);
  bool helpers = layout(block)->flags & qv::kBlockHasCopyDispose;
  return static_cast<const char*>(words[helpers ? 4 : 2]);
}

// Counts how many copies of it exist.
struct Tally {
  std::shared_ptr<int> alive = std::make_shared<int>(0);
  long copies() const { return alive.use_count() - 1; }
};

TEST_F(Blocks, HandBuiltLiteralsHaveClangsLayoutFlagsAndSignature) {
  std::string clangSignature;
  int successes = 0, failures = 0;
  qvtest_with_reply(
      [](void* reply, void* out) {
        *static_cast<std::string*>(out) = signatureOf(static_cast<id>(reply));
        EXPECT_EQ(layout(static_cast<id>(reply))->isa, _NSConcreteStackBlock);
      },
      &clangSignature, &successes, &failures);
  ASSERT_EQ(clangSignature, "v20@?0B8@12");

  Tally tally;
  auto ours = qv::makeBlock<BOOL, id>([tally](BOOL, id) {});
  BlockLayout* b = layout(ours);
  EXPECT_EQ(b->isa, _NSConcreteStackBlock);
  EXPECT_EQ(b->flags & qv::kBlockRefCountMask, 0);
  EXPECT_TRUE(b->flags & qv::kBlockHasCopyDispose);
  EXPECT_TRUE(b->flags & qv::kBlockHasSignature);
  EXPECT_FALSE(b->flags & (qv::kBlockNeedsFree | qv::kBlockIsGlobal));
  EXPECT_STREQ(signatureOf(ours), clangSignature.c_str());
  const auto* descriptor = static_cast<const BlockDescriptor*>(b->descriptor);
  EXPECT_EQ(descriptor->reserved, 0u);
  EXPECT_EQ(descriptor->size, sizeof(BlockLayout) + sizeof(Tally));
  EXPECT_STREQ(qv::blockEncodingOf<void()>(), "v8@?0");
  EXPECT_STREQ(qv::blockEncodingOf<void(id)>(), "v16@?0@8");
  EXPECT_STREQ(qv::blockEncodingOf<void(char, double, id)>(), "v28@?0c8d12@20");
}

TEST_F(Blocks, ClangCodeCallsTheLibrarysBlocksDirectlyAndThroughAHeapCopy) {
  Tally tally;
  int ok = 0, failed = 0;
  id lastError = nil;
  {
    auto reply = qv::makeBlock<BOOL, id>([&ok, &failed, &lastError, tally](BOOL success, id error) {
      (success ? ok : failed)++;
      lastError = error;
    });
    id error = qv::host::makeString("denied");
    qvtest_call_reply(reply, true, nil);
    qvtest_copy_call_release(reply, false, error);
    EXPECT_EQ(lastError, error);
    // The heap copy made its own copy of the capture and destroyed it on release.
    EXPECT_EQ(tally.copies(), 1);
  }
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(tally.copies(), 0);
}

TEST_F(Blocks, AHeapCopyCountsReferencesAsAnObjectFromAnyThread) {
  Tally tally;
  id heap;
  {
    auto literal = qv::makeBlock<>([tally] {});
    heap = static_cast<id>(_Block_copy(literal));
  }
  EXPECT_EQ(tally.copies(), 1);
  EXPECT_EQ(object_getClass(heap), reinterpret_cast<Class>(_NSConcreteMallocBlock));
  EXPECT_STREQ(class_getName(object_getClass(heap)), "__NSMallocBlock__");
  EXPECT_TRUE(layout(heap)->flags & qv::kBlockNeedsFree);
  EXPECT_EQ(msgSend<NSUInteger>(heap, SELECTOR("retainCount")), 1u);

  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([heap] {
      for (int i = 0; i < 20000; i++) {
        objc_release(objc_retain(heap));
        _Block_release(_Block_copy(heap));
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(tally.copies(), 1);

  // -copy and -retain of a heap block add a reference; an autoreleased one goes with its pool.
  EXPECT_EQ(msgSend<id>(heap, SELECTOR("copy")), heap);
  msgSend<id>(heap, SELECTOR("retain"));
  EXPECT_EQ(msgSend<NSUInteger>(heap, SELECTOR("retainCount")), 3u);
  {
    qv::AutoreleasePool pool;
    objc_autorelease(heap);
    objc_autorelease(heap);
  }
  EXPECT_EQ(tally.copies(), 1);
  objc_release(heap);
  EXPECT_EQ(tally.copies(), 0);
}

TEST_F(Blocks, ACopiedClangLiteralKeepsItsObjectAndSharesItsBlockVariable) {
  qv::AutoreleasePool pool;
  qv::Strong captured = qv::host::makeString("captured");
  id seen = nil;
  NSUInteger before = msgSend<NSUInteger>(captured, SELECTOR("retainCount"));
  int runs = qvtest_run_later(
      [](void* block) { dispatch_async(dispatch_get_main_queue(), static_cast<id>(block)); },
      [] { qv::host::runMainLoopOnce(); }, captured, &seen);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(seen, captured.get());
  // The queue's copy retained the object while it waited and released it once run.
  EXPECT_EQ(msgSend<NSUInteger>(captured, SELECTOR("retainCount")), before);
}

TEST_F(Blocks, GlobalBlocksAreNeitherCopiedNorCounted) {
  id global = static_cast<id>(qvtest_global_block());
  EXPECT_EQ(object_getClass(global), reinterpret_cast<Class>(_NSConcreteGlobalBlock));
  EXPECT_EQ(_Block_copy(global), global);
  _Block_release(global);
  objc_release(objc_retain(global));
  qv::invokeBlock<>(global);
  EXPECT_EQ(msgSend<NSUInteger>(global, SELECTOR("retainCount")), 1u);
}

TEST_F(Blocks, StackBlocksAreCopiedNotRetained) {
  Tally tally;
  auto literal = qv::makeBlock<>([tally] {});
  ASSERT_EQ(tally.copies(), 1);  // the literal's own capture
  EXPECT_EQ(objc_retain(literal), literal.get());
  objc_release(literal);
  EXPECT_EQ(tally.copies(), 1);
  id heap = msgSend<id>(literal, SELECTOR("copy"));
  EXPECT_NE(heap, literal.get());
  EXPECT_EQ(tally.copies(), 2);
  objc_release(heap);
  EXPECT_EQ(tally.copies(), 1);
}

TEST_F(BlocksDeathTest, InvokingWithAnotherSignatureAborts) {
  EXPECT_DEATH(qv::invokeBlock<int>(qv::makeBlock<>([] {}), 1),
               "signature mismatch: made as v8@\\?0, invoked as v12@\\?0i8");
  int successes = 0, failures = 0;
  EXPECT_DEATH(qvtest_with_reply(
                   [](void* reply, void*) { qv::invokeBlock<id>(static_cast<id>(reply), nil); },
                   nullptr, &successes, &failures),
               "signature mismatch");
}

TEST_F(BlocksDeathTest, NilAndObjectsThatAreNotBlocksAbort) {
  EXPECT_DEATH(qv::runtime::requireBlock(nil, "v8@?0", "caller"), "caller: nil block");
  EXPECT_DEATH(
      {
        qv::AutoreleasePool pool;
        qv::invokeBlock<>(qv::host::makeString("text"));
      },
      "not a block.*NSString");
  EXPECT_DEATH({ qv::Weak weak(static_cast<id>(qvtest_global_block())); },
               "weak references to blocks");
}

}  // namespace
