// NSLog formatting and the system log; NSHomeDirectory and NSClassFromString.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/system_log.h"
#include "platform/ns_functions.h"
#include "platform/ns_values.h"

namespace {

using qv::host::systemLogLines;

class Log : public testing::Test {
 protected:
  void SetUp() override {
    qv::host::registerFoundation();
    qv::host::clearSystemLog();
    unsetenv("QV_LOG_STDERR");
  }
  static std::string last() {
    auto lines = systemLogLines();
    return lines.empty() ? "<nothing logged>" : lines.back();
  }
  qv::AutoreleasePool pool;
};

template <class... A>
std::string printed(const char* format, A... args) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, args...);
  return buf;
}

TEST_F(Log, ObjectsAreFormattedByTheirDescription) {
  id text = qv::host::makeString("hello");
  id number = qv::host::makeInteger(42);
  id array = qv::host::makeArray({});
  NSLog(NSSTR("s=%@ n=%@ nil=%@ [%8@] [%-6@] [%.3@] %%"), text, number, static_cast<id>(nil), text,
        text, text);
  EXPECT_EQ(last(), "s=hello n=42 nil=(null) [   hello] [hello ] [hel] %");
  NSLog(NSSTR("%@"), array);
  EXPECT_EQ(last().rfind("<NSArray", 0), 0u) << last();
  NSLog(NSSTR("%s and %@"), static_cast<const char*>(nullptr), static_cast<id>(nil));
  EXPECT_EQ(last(), "(null) and (null)");
}

TEST_F(Log, PrintfConversionsMatchPrintf) {
  int i = -42;
  unsigned u = 3000000000u;
  long l = -1234567890123L;
  unsigned long ul = 18000000000000000000ul;
  long long ll = -9000000000000000000LL;
  unsigned long long ull = 12345678901234567890ull;
  double d = 3.14159265358979;
  void* p = &i;
  size_t z = 77;
  NSLog(NSSTR("%d|%i|%5d|%-5d|%05d|%+d|% d"), i, i, i, i, i, i, i);
  EXPECT_EQ(last(), printed("%d|%i|%5d|%-5d|%05d|%+d|% d", i, i, i, i, i, i, i));
  NSLog(NSSTR("%u|%x|%X|%#x|%o|%#o"), u, u, u, u, u, u);
  EXPECT_EQ(last(), printed("%u|%x|%X|%#x|%o|%#o", u, u, u, u, u, u));
  NSLog(NSSTR("%ld|%lu|%lld|%llu|%lx|%zu|%qd"), l, ul, ll, ull, ul, z, ll);
  EXPECT_EQ(last(), printed("%ld|%lu|%lld|%llu|%lx|%zu|%lld", l, ul, ll, ull, ul, z, ll));
  NSLog(NSSTR("%f|%.2f|%10.3f|%-10.1f|%g|%e|%G"), d, d, d, d, d, d, d);
  EXPECT_EQ(last(), printed("%f|%.2f|%10.3f|%-10.1f|%g|%e|%G", d, d, d, d, d, d, d));
  NSLog(NSSTR("%s|%10s|%-10s|%.2s|%c|%3c|%p"), "abc", "abc", "abc", "abc", 'x', 'y', p);
  EXPECT_EQ(last(),
            printed("%s|%10s|%-10s|%.2s|%c|%3c|%p", "abc", "abc", "abc", "abc", 'x', 'y', p));
  NSLog(NSSTR("%*d|%-*d|%.*f|%hhd|%hd"), 6, 42, 6, 42, 1, d, 300, 70000);
  EXPECT_EQ(last(), printed("%*d|%-*d|%.*f|%hhd|%hd", 6, 42, 6, 42, 1, d, 300, 70000));
}

TEST_F(Log, MalformedFormatsDoNotCrashOrEatArguments) {
  NSLog(NSSTR("%y %d %"), 5);
  EXPECT_EQ(last(), "%y 5 %");
  NSLog(NSSTR("[%99999999999d]"), 1);
  EXPECT_EQ(last().size(), 4098u);  // capped width
  NSLog(NSSTR("%*d|"), -4, 7);      // a negative width pads on the right
  EXPECT_EQ(last(), "7   |");
  NSLog(nil);
  EXPECT_EQ(last(), "(null)");
  NSLog(qv::host::makeInteger(3));  // not a string
  EXPECT_EQ(last(), "");
}

TEST_F(Log, LinesAreKeptInOrderBoundedAndOnlyEchoedWhenAsked) {
  testing::internal::CaptureStderr();
  NSLog(NSSTR("quiet %d"), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  setenv("QV_LOG_STDERR", "1", 1);
  testing::internal::CaptureStderr();
  NSLog(NSSTR("loud %d"), 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "loud 2\n");
  EXPECT_EQ(systemLogLines(), (std::vector<std::string>{"quiet 1", "loud 2"}));
  qv::host::clearSystemLog();
  EXPECT_TRUE(systemLogLines().empty());
  unsetenv("QV_LOG_STDERR");

  for (size_t i = 0; i <= qv::host::kSystemLogCapacity; i++) NSLog(NSSTR("line %zu"), i);
  auto lines = systemLogLines();
  ASSERT_EQ(lines.size(), qv::host::kSystemLogCapacity);
  EXPECT_EQ(lines.front(), "line 1");
  EXPECT_EQ(lines.back(), "line " + std::to_string(qv::host::kSystemLogCapacity));
}

TEST_F(Log, ThreadsLogConcurrently) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([t] {
      for (int i = 0; i < 500; i++) {
        qv::AutoreleasePool pool;
        NSLog(NSSTR("thread %d line %d %@"), t, i, qv::host::makeInteger(i));
      }
    });
  }
  for (auto& t : threads) t.join();
  auto lines = systemLogLines();
  ASSERT_EQ(lines.size(), 2000u);
  // Each thread's lines stay in its own order.
  for (int t = 0; t < 4; t++) {
    int next = 0;
    std::string prefix = "thread " + std::to_string(t) + " ";
    for (const std::string& line : lines) {
      if (line.rfind(prefix, 0) != 0) continue;
      EXPECT_EQ(line, prefix + "line " + std::to_string(next) + " " + std::to_string(next));
      next++;
    }
    EXPECT_EQ(next, 500);
  }
}

TEST_F(Log, HomeDirectoryAndClassLookup) {
  qv::host::setHomeDirectory("/var/mobile/Custom");
  EXPECT_STREQ(NS::String(NSHomeDirectory()).UTF8String(), "/var/mobile/Custom");
  EXPECT_EQ(NSClassFromString(NSSTR("NSString")), objc_getClass("NSString"));
  EXPECT_EQ(NSClassFromString(NSSTR("NSNotificationCenter")),
            objc_getClass("NSNotificationCenter"));
  EXPECT_EQ(NSClassFromString(NSSTR("NoSuchClassAnywhere")), nullptr);
  EXPECT_EQ(NSClassFromString(NSSTR("")), nullptr);
  EXPECT_EQ(NSClassFromString(nil), nullptr);
  EXPECT_EQ(NSClassFromString(qv::host::makeInteger(1)), nullptr);
}

}  // namespace
