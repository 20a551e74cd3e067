// Where the preferences daemon of a device root lives: its socket, the lock that makes it the
// only one, its log, and the program that runs it.
#pragma once

#include <string>

namespace qv::host::prefsd {

struct DaemonPaths {
  std::string runFolder;  // realPath("/var/run"), holding the lock and the log
  // realPath("/var/run/qv-prefsd.sock"); when that is too long for a socket address,
  // "/tmp/qv-prefsd-<hash of that path>.sock", so that the daemons of two roots never meet.
  std::string socket;
  std::string lock;  // held by the running daemon, which writes its process id into it
  std::string log;   // the daemon's standard error
};

// The paths for the current device root.
DaemonPaths daemonPaths();

// The daemon's program: $QUORVEL_PREFSD, else the one built with this library, else
// "quorvel-prefsd" beside the running program.
std::string daemonProgram();

}  // namespace qv::host::prefsd
