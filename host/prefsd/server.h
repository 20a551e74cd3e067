// The preferences daemon: one process per device root, serving every CFPreferences call of
// every process on that root from memory (domain_store.h) over a Unix socket
// (daemon_paths.h, wire.h, requests.h).
//
// It is started on demand by the first client that finds no daemon (client.h). A second
// daemon for the same root finds the lock held and leaves the serving to the first. It ends on
// SIGTERM, SIGINT or SIGHUP, when its device root or its socket disappears, when the last
// client says it is leaving, or when it has had no client for the linger time.
#pragma once

#include <chrono>
#include <string>

namespace qv::host::prefsd {

struct DaemonOptions {
  std::string root;  // the device root, a real folder
  std::chrono::milliseconds linger{2000};
};

// Serves until one of the ends above. 0 when it served, or when another daemon serves the
// root; 1 when it cannot serve (no root folder, no place for its lock or socket).
int runDaemon(const DaemonOptions& options);

}  // namespace qv::host::prefsd
