// The preferences daemon of the session's device root: its state, and a restart, after which
// it reads every settings file again (so an edit made behind its back with `file` is seen).
#include <unistd.h>

#include "handlers.h"
#include "prefsd/client.h"

namespace qv::sim {

using host::Json;
using host::ScenarioError;

namespace {

CommandResult describe(const host::prefsd::DaemonStatus& status, const std::string& what) {
  if (status.pid <= 0) throw ScenarioError{"prefsd: no preferences daemon could be started"};
  CommandResult result;
  std::string domains;
  Json list = Json::array();
  for (const std::string& d : status.domains) {
    domains += (domains.empty() ? "" : ", ") + d;
    list.push_back(d);
  }
  result.lines.push_back("preferences daemon " + what + "process " + std::to_string(status.pid) +
                         "; domains read: " + (domains.empty() ? "none" : domains));
  result.fields["pid"] = status.pid;
  result.fields["domains"] = list;
  return result;
}

}  // namespace

CommandResult runPrefsd(Session&, const Invocation& inv) {
  const std::string& word = inv.arg(0);
  if (word == "status") return describe(host::prefsd::daemonStatus(), "");
  if (word == "restart") {
    pid_t old = host::prefsd::daemonPid();
    if (host::prefsd::restartDaemon() <= 0) {
      throw ScenarioError{"prefsd: no preferences daemon could be started"};
    }
    return describe(host::prefsd::daemonStatus(),
                    "restarted (was process " + std::to_string(old) + "): ");
  }
  throw ScenarioError{"prefsd: \"" + word + "\" is not one of status, restart"};
}

}  // namespace qv::sim
