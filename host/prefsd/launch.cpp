#include "prefsd/launch.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "foundation/device_root.h"

extern char** environ;

namespace qv::host::prefsd {

pid_t launchDaemon(const DaemonPaths& paths) {
  std::string program = daemonProgram();
  std::string root = deviceRoot().empty() ? "/" : deviceRoot();
  std::error_code ec;
  std::filesystem::create_directories(paths.runFolder, ec);
  int log = ::open(paths.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log < 0) log = ::open("/dev/null", O_WRONLY | O_CLOEXEC);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (log >= 0) posix_spawn_file_actions_adddup2(&actions, log, 2);
  // Pipes of a test harness among them would keep it waiting for the daemon's end.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int s : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  char* const argv[] = {program.data(), root.data(), nullptr};
  pid_t pid = -1;
  if (::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ) != 0) pid = -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (log >= 0) ::close(log);
  return pid;
}

}  // namespace qv::host::prefsd
