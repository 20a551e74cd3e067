// Blocks own their context, free it exactly once, and check the type they are invoked with.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "platform/block.h"
#include "runtime/object_refs.h"

namespace {

std::atomic<int> gDestroyed{0};

void destroyInt(void* context) {
  gDestroyed++;
  delete static_cast<int*>(context);
}

class Blocks : public testing::Test {
 protected:
  void SetUp() override {
    qv::host::registerFoundation();
    gDestroyed = 0;
  }
};
using BlocksDeathTest = Blocks;

TEST_F(Blocks, ContextIsFreedOnceByTheLastReleaseFromAnyThread) {
  id block = qv_block_create(new int(7), destroyInt, "int-box");
  EXPECT_EQ(*static_cast<int*>(qv_block_context(block, "int-box")), 7);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([block] {
      for (int i = 0; i < 20000; i++) {
        objc_retain(block);
        objc_release(block);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(gDestroyed, 0);
  objc_release(block);
  EXPECT_EQ(gDestroyed, 1);
}

TEST_F(Blocks, MadeBlocksRunTheirFunctionAndLetGoOfWhatTheyCapture) {
  auto captured = std::make_shared<int>(0);
  {
    qv::AutoreleasePool pool;
    id block = qv::makeBlock<int>(std::function<void(int)>([captured](int v) { *captured += v; }));
    qv::invokeBlock<int>(block, 5);
    qv::invokeBlock<int>(block, 2);
    EXPECT_EQ(captured.use_count(), 2);
  }
  EXPECT_EQ(*captured, 7);
  EXPECT_EQ(captured.use_count(), 1);

  // Never invoked: still freed.
  {
    qv::AutoreleasePool pool;
    qv::makeBlock<>(std::function<void()>([captured] { *captured = -1; }));
  }
  EXPECT_EQ(*captured, 7);
  EXPECT_EQ(captured.use_count(), 1);
}

TEST_F(BlocksDeathTest, InvokingWithAnotherSignatureAborts) {
  EXPECT_DEATH(
      {
        qv::AutoreleasePool pool;
        id block = qv::makeBlock<>(std::function<void()>([] {}));
        qv::invokeBlock<int>(block, 1);
      },
      "signature mismatch");
  EXPECT_DEATH(
      {
        id block = qv_block_create(new int(1), destroyInt, "int-box");
        qv_block_context(block, "int-box2");
      },
      "signature mismatch");
}

TEST_F(BlocksDeathTest, NilAndObjectsThatAreNotBlocksAbort) {
  EXPECT_DEATH(qv_block_context(nil, "int-box"), "nil block");
  EXPECT_DEATH(
      {
        qv::AutoreleasePool pool;
        qv_block_context(qv::host::makeString("text"), "int-box");
      },
      "not a block.*NSString");
}

}  // namespace
