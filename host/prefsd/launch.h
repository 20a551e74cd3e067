// Starting a preferences daemon for the current device root, as launchd starts one on demand.
#pragma once

#include <sys/types.h>

#include "prefsd/daemon_paths.h"

namespace qv::host::prefsd {

// Starts the daemon program as a child of this process, in a session of its own, with no
// descriptor of this process but its standard error going to the log. Its process id, or -1.
// The child ends at once (status 0) when another daemon already serves the root.
pid_t launchDaemon(const DaemonPaths& paths);

}  // namespace qv::host::prefsd
