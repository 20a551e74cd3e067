// ctest-labels: threads
// Blocks compiled by clang (-fblocks) reach the frameworks that keep them: each copies the
// stack literal before its frame ends and calls the copy later.
#include <gtest/gtest.h>

#include "foundation/foundation_internal.h"
#include "runtime/object_refs.h"
#include "runtime/system_images.h"
#include "support/block_literals.h"
#include "uikit/auth_service.h"
#include "uikit/uikit.h"
#include "uikit/uikit_internal.h"

namespace qv::host {
namespace {

class ClangBlocks : public testing::Test {
 protected:
  void SetUp() override {
    registerUIKit();
    runtime::loadSystemImage(runtime::kLocalAuthentication);
  }
  void TearDown() override { stopAuthenticationService(); }
};

TEST_F(ClangBlocks, AnAuthenticationReplyLiteralRunsAfterItsFrameHasEnded) {
  Strong context = Strong::adopt(msgSend<id>(objc_getClass("LAContext"), SELECTOR("new")));
  int successes = 0, failures = 0;
  for (int i = 0; i < 2; i++) {
    qvtest_with_reply(
        [](void* reply, void* ctx) {
          AutoreleasePool pool;
          msgSend<void>(static_cast<id>(ctx), SELECTOR("evaluatePolicy:localizedReason:reply:"),
                        static_cast<NSInteger>(2), makeString("App Locked"),
                        static_cast<id>(reply));
        },
        context.get(), &successes, &failures);
  }
  // Both literals' frames are gone; their copies wait for the answers.
  ASSERT_TRUE(answerOldestAuthentication(AuthAnswer::Success));
  ASSERT_TRUE(answerOldestAuthentication(AuthAnswer::Cancel));
  waitForAuthenticationReplies();
  EXPECT_EQ(successes, 1);
  EXPECT_EQ(failures, 1);
}

TEST_F(ClangBlocks, AnAlertButtonsHandlerLiteralRunsWhenTapped) {
  AutoreleasePool pool;
  id alert =
      msgSend<id>(objc_getClass("UIAlertController"),
                  SELECTOR("alertControllerWithTitle:message:preferredStyle:"),
                  makeString("Quorvel"), makeString("com.example.mail"), static_cast<NSInteger>(1));
  id tapped = nil;
  qvtest_with_handler(
      [](void* handler, void* alertController) {
        id action = msgSend<id>(
            objc_getClass("UIAlertAction"), SELECTOR("actionWithTitle:style:handler:"),
            makeString("Copy Bundle ID"), static_cast<NSInteger>(2), static_cast<id>(handler));
        msgSend<void>(static_cast<id>(alertController), SELECTOR("addAction:"), action);
      },
      alert, &tapped);
  ASSERT_TRUE(tapAlertAction(alert, "Copy Bundle ID"));
  ASSERT_TRUE(tapped);
  EXPECT_EQ(stdString(msgSend<id>(tapped, SELECTOR("title"))), "Copy Bundle ID");
}

}  // namespace
}  // namespace qv::host
