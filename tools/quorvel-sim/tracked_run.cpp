#include "tracked_run.h"

#include "effects.h"
#include "observe/state_dump.h"

namespace qv::sim {

namespace {

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += (out.empty() ? "" : " | ") + l;
  return out.empty() ? "(none)" : out;
}

}  // namespace

std::vector<std::string> runTracked(Session& session, const std::function<void()>& act) {
  host::HomeScreen& home = session.home;
  session.tracker.begin(home);
  host::Json before = session.checkChanges ? host::dumpState(home) : host::Json();
  act();
  std::vector<std::string> told = describeChanges(session.tracker.end(home));
  if (session.checkChanges) {
    std::vector<std::string> whole = describeChanges(changesBetween(before, host::dumpState(home)));
    if (whole != told) {
      throw host::ScenarioError{"change check: tracked changes " + joined(told) + "; whole dumps " +
                                joined(whole)};
    }
  }
  return told;
}

}  // namespace qv::sim
