// The system-wide ("Darwin") notification centre, shared by every process on one device root.
//
// Each process with at least one observer binds a datagram socket "<folder>/<pid>.sock" and runs
// a listener thread that queues the observers' callbacks on its main queue. A post sends the
// name to every socket in the folder (removing those whose process is gone) and queues the
// poster's own observers directly. The folder is realPath("/var/run/qv-notify"); when that is
// too long for a socket address it is "/tmp/qv-notify-<hash of that path>", so processes on the
// same root still meet there and processes on other roots do not.
//
// The socket is made at the first registration, under the device root of that moment. Posts of
// a name whose delivery is still queued are folded into it. A forked child starts with no
// observers and no listener of its own.
#pragma once

#include <string>

namespace qv::host {

// Posts `name` (non-empty, at most kMaxDarwinNameLength bytes; others are dropped).
void postDarwinNotification(const std::string& name);
constexpr size_t kMaxDarwinNameLength = 1024;

// The real folder that holds the sockets for the current device root.
std::string darwinNotifyFolder();

}  // namespace qv::host
