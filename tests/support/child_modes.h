// The test programs also act as other processes on a device root: a test starts its own program
// again with one of these environment settings, and main() runs the mode instead of the tests.
//   QV_POST_DARWIN=NAME QV_ROOT=DIR        posts that Darwin notification
//   QV_WRITE_SETTINGS=N QV_ROOT=DIR        flips hideBadges N times, each time also setting the
//                                          colour list's static colour ("#0000ff" last)
//   QV_RELOAD_SETTINGS=N QV_ROOT=DIR       flips hideBadges N times, announcing each change as
//                                          the settings pane does
//   QV_PREFSD_ROOT=DIR QV_PREFSD_ACT=ACT QV_PREFSD_OUT=FILE
//                                          "set KEY VALUE" (writes "ok" or "failed"), "get KEY"
//                                          (the string CFPreferences gives, "" when none) or
//                                          "pid" (the root's daemon) into FILE
#pragma once

#include <optional>

namespace qv::testing {

// The exit status of the mode the environment asks for, once it has run; nothing when it asks
// for none.
std::optional<int> runChildMode();

}  // namespace qv::testing
