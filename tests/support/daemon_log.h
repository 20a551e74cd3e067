// The preferences daemon writes to its log only when something went wrong in it (a sanitizer's
// report included), which its clients would otherwise not notice.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "prefsd/daemon_paths.h"

namespace qv::testing {

inline void expectQuietDaemonLog() {
  std::ifstream log(host::prefsd::daemonPaths().log);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), "")
      << "the preferences daemon's log";
}

}  // namespace qv::testing
