#include "prefsd/daemon_paths.h"

#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "foundation/device_root.h"

namespace qv::host::prefsd {

DaemonPaths daemonPaths() {
  DaemonPaths p;
  p.runFolder = realPath("/var/run");
  p.lock = p.runFolder + "/qv-prefsd.lock";
  p.log = p.runFolder + "/qv-prefsd.log";
  p.socket = p.runFolder + "/qv-prefsd.sock";
  if (p.socket.size() >= sizeof(sockaddr_un::sun_path)) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : p.socket) hash = (hash ^ c) * 1099511628211ull;
    char name[64];
    std::snprintf(name, sizeof name, "/tmp/qv-prefsd-%016llx.sock",
                  static_cast<unsigned long long>(hash));
    p.socket = name;
  }
  return p;
}

std::string daemonProgram() {
  if (const char* chosen = std::getenv("QUORVEL_PREFSD"); chosen && *chosen) return chosen;
  std::error_code ec;
#ifdef QV_PREFSD_PATH
  if (std::filesystem::exists(QV_PREFSD_PATH, ec)) return QV_PREFSD_PATH;
#endif
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / "quorvel-prefsd").string();
}

}  // namespace qv::host::prefsd
