// ctest-labels: threads
// LAContext: replies come on the service's own thread, as answered; a context released
// before its reply cancels its evaluation with an error.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/foundation_internal.h"
#include "runtime/blocks.h"
#include "runtime/system_images.h"
#include "uikit/auth_service.h"
#include "uikit/uikit.h"

namespace qv::host {
namespace {

struct Reply {
  std::atomic<int> calls{0};
  std::atomic<bool> success{false};
  std::atomic<long> errorCode{0};
  std::thread::id thread;
};

auto replyBlock(Reply* r) {
  return qv::makeBlock<BOOL, id>([r](BOOL success, id error) {
    r->success = success;
    r->errorCode = error ? msgSend<NSInteger>(error, SELECTOR("code")) : 0;
    r->thread = std::this_thread::get_id();
    r->calls++;
  });
}

id evaluate(id context, Reply* r) {
  AutoreleasePool pool;
  msgSend<void>(context, SELECTOR("evaluatePolicy:localizedReason:reply:"),
                static_cast<NSInteger>(2), makeString("App Locked"), replyBlock(r).get());
  return context;
}

class Authentication : public testing::Test {
 protected:
  void SetUp() override {
    registerUIKit();
    runtime::loadSystemImage(runtime::kLocalAuthentication);
  }
  void TearDown() override { stopAuthenticationService(); }
};

TEST_F(Authentication, EvaluationsWaitForTheirAnswerAndReplyOnAnotherThread) {
  Reply reply;
  id context = msgSend<id>(objc_getClass("LAContext"), SELECTOR("new"));
  evaluate(context, &reply);
  ASSERT_EQ(pendingAuthentications().size(), 1u);
  EXPECT_EQ(pendingAuthentications()[0].reason, "App Locked");
  EXPECT_EQ(reply.calls.load(), 0);
  ASSERT_TRUE(answerOldestAuthentication(AuthAnswer::Success));
  waitForAuthenticationReplies();
  EXPECT_EQ(reply.calls.load(), 1);
  EXPECT_TRUE(reply.success.load());
  EXPECT_EQ(reply.errorCode.load(), 0);
  EXPECT_NE(reply.thread, std::this_thread::get_id());
  EXPECT_TRUE(pendingAuthentications().empty());
  objc_release(context);
}

TEST_F(Authentication, FailuresCarryTheirErrorCodes) {
  const std::pair<AuthAnswer, long> cases[] = {{AuthAnswer::Failure, -1},
                                               {AuthAnswer::Cancel, -2},
                                               {AuthAnswer::Error, -6},
                                               {AuthAnswer::SuccessWithError, -1}};
  for (const auto& [answer, code] : cases) {
    Reply reply;
    id context = msgSend<id>(objc_getClass("LAContext"), SELECTOR("new"));
    evaluate(context, &reply);
    ASSERT_TRUE(answerOldestAuthentication(answer));
    waitForAuthenticationReplies();
    EXPECT_EQ(reply.errorCode.load(), code);
    EXPECT_EQ(reply.success.load(), answer == AuthAnswer::SuccessWithError);
    objc_release(context);
  }
}

TEST_F(Authentication, ReleasingTheContextCancelsItsEvaluation) {
  Reply reply;
  id context = msgSend<id>(objc_getClass("LAContext"), SELECTOR("new"));
  evaluate(context, &reply);
  objc_release(context);
  waitForAuthenticationReplies();
  EXPECT_EQ(reply.calls.load(), 1);
  EXPECT_FALSE(reply.success.load());
  EXPECT_EQ(reply.errorCode.load(), -9);
  EXPECT_FALSE(answerOldestAuthentication(AuthAnswer::Success));  // nothing is left pending
}

TEST_F(Authentication, AFaultyServiceCanReplyTwiceOrLate) {
  Reply reply;
  id context = msgSend<id>(objc_getClass("LAContext"), SELECTOR("new"));
  evaluate(context, &reply);
  ASSERT_TRUE(answerOldestAuthentication(AuthAnswer::Success, 20, 2));
  waitForAuthenticationReplies();
  EXPECT_EQ(reply.calls.load(), 2);
  objc_release(context);
}

}  // namespace
}  // namespace qv::host
