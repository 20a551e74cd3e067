// The library's platform headers build on their own, and a nil handle answers with zero.
#include <gtest/gtest.h>

#include "foundation/foundation.h"
#include "platform/foundation.h"

TEST(Facades, NilHandlesAnswerEveryMessageWithZero) {
  qv::host::registerFoundation();
  NS::String none;
  EXPECT_FALSE(none.isEqualToString(NSSTR("x")));
  EXPECT_EQ(none.UTF8String(), nullptr);
  NS::MutableArray noArray;
  EXPECT_EQ(noArray.count(), 0u);
  noArray.addObject(NSSTR("ignored"));
  EXPECT_FALSE(NS::Dictionary().objectForKey(NSSTR("k")));
}

TEST(Facades, StringConstantsAreMadeOncePerCallSite) {
  qv::host::registerFoundation();
  auto make = [] { return NSSTR("com.vantrelo88.quorvel").get(); };
  EXPECT_EQ(make(), make());
  EXPECT_TRUE(NS::String(make()).isEqualToString(NS::String::from("com.vantrelo88.quorvel")));
}
