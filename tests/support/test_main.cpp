// The main of every test program.
//
// The library's hooks and the home screen are process-wide and never undone, so each test needs
// a process of its own: CTest starts one per test. Run by hand with several tests selected, the
// program runs each of them in a child process of its own (itself again, with a filter naming
// that one test) and sums up, so that the whole program passes or fails as it does under CTest.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "support/child_modes.h"

extern char** environ;

namespace {

constexpr const char* kOneTest = "QV_TEST_ONE_PROCESS=1";

// gtest's wildcards: '*' any text, '?' one character.
bool matches(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      p++, n++;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') p++;
  return p == pattern.size();
}

bool matchesAny(std::string_view patterns, std::string_view name) {
  while (true) {
    size_t colon = patterns.find(':');
    if (matches(patterns.substr(0, colon), name)) return true;
    if (colon == std::string_view::npos) return false;
    patterns.remove_prefix(colon + 1);
  }
}

// The tests the filter selects, as gtest selects them: "POSITIVE[-NEGATIVE]", ':'-separated
// patterns; disabled tests only when asked for.
std::vector<std::string> selectedTests() {
  std::string filter = GTEST_FLAG_GET(filter);
  size_t dash = filter.find('-');
  std::string positive = filter.substr(0, dash);
  std::string negative = dash == std::string::npos ? "" : filter.substr(dash + 1);
  if (positive.empty()) positive = "*";
  bool disabledToo = GTEST_FLAG_GET(also_run_disabled_tests);
  std::vector<std::string> names;
  const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
  for (int s = 0; s < unit.total_test_suite_count(); s++) {
    const ::testing::TestSuite& suite = *unit.GetTestSuite(s);
    for (int t = 0; t < suite.total_test_count(); t++) {
      std::string suiteName = suite.name(), testName = suite.GetTestInfo(t)->name();
      std::string name = suiteName + "." + testName;
      bool disabled = suiteName.rfind("DISABLED_", 0) == 0 || testName.rfind("DISABLED_", 0) == 0;
      if (disabled && !disabledToo) continue;
      if (matchesAny(positive, name) && (negative.empty() || !matchesAny(negative, name))) {
        names.push_back(name);
      }
    }
  }
  return names;
}

// Runs `test` in a child: this program with the caller's arguments, its filter replaced.
bool runInChild(const std::vector<std::string>& arguments, const std::string& test) {
  std::vector<std::string> args;
  for (const std::string& a : arguments) {
    if (a.rfind("--gtest_filter", 0) != 0) args.push_back(a);
  }
  args.push_back("--gtest_filter=" + test);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = {kOneTest};
  for (char** e = environ; *e; e++) env.push_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::fflush(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), envp.data()) != 0) {
    std::perror("posix_spawn");
    return false;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::optional<int> status = qv::testing::runChildMode()) return *status;

  const std::vector<std::string> arguments(argv, argv + argc);
  ::testing::InitGoogleTest(&argc, argv);
  if (std::getenv("QV_TEST_ONE_PROCESS") || GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  std::vector<std::string> tests = selectedTests();
  if (tests.size() <= 1) return RUN_ALL_TESTS();

  std::printf(
      "[==========] %zu tests, each in a process of its own (they change process-wide "
      "state that is never undone)\n",
      tests.size());
  std::vector<std::string> failed;
  for (const std::string& test : tests) {
    if (!runInChild(arguments, test)) failed.push_back(test);
  }
  std::printf("[==========] %zu tests ran, each in its own process.\n", tests.size());
  std::printf("[  PASSED  ] %zu tests.\n", tests.size() - failed.size());
  if (!failed.empty()) {
    std::printf("[  FAILED  ] %zu tests, listed below:\n", failed.size());
    for (const std::string& test : failed) std::printf("[  FAILED  ] %s\n", test.c_str());
  }
  return failed.empty() ? 0 : 1;
}
