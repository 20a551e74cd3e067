// The side of the preferences daemon every host process holds: one connection per process to
// the daemon of the current device root, made at the first request and made again when the
// root changes or the daemon has died. When no daemon answers, this process starts one
// (launch.h) and is its parent: when it exits it tells the daemon it is leaving and, if it was
// the last client, waits for the daemon's end, so that no ended daemon is left unreaped.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/objc.h"

namespace qv::host::prefsd {

// The daemon's reply to a request (autoreleased), or nil when no daemon can be reached. A
// request that finds its daemon gone is sent again, to a new one; every request is one that
// may be repeated.
id sendRequest(id request);

struct DaemonStatus {
  pid_t pid = 0;                     // 0: no daemon could be reached
  std::vector<std::string> domains;  // the domains it has read, sorted
};

// The daemon serving the current device root (started if need be).
DaemonStatus daemonStatus();
pid_t daemonPid();

// Stops the daemon serving the current root (SIGTERM), waits for its end and starts a new
// one, which reads every domain from its file again. The new daemon's process id, or 0.
pid_t restartDaemon();

}  // namespace qv::host::prefsd
