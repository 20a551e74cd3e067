#include "sim/sim_session.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

extern char** environ;

namespace qv::bench {
namespace {

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "bench_sim: %s\n", message.c_str());
  std::exit(1);
}

void writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("the simulator stopped reading");
    done += static_cast<size_t>(n);
  }
}

}  // namespace

SimSession::SimSession(const std::string& folder) {
  std::string tmpl = folder + "/quorvel-bench-sim-XXXXXX";
  if (!mkdtemp(tmpl.data())) fail("cannot create a device root in " + folder);
  root_ = tmpl;
  int toChild[2], fromChild[2];
  if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) fail("no pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
  // $QV_BENCH_SIM: another build of the program, to compare with.
  const char* other = std::getenv("QV_BENCH_SIM");
  std::string program = other && *other ? other : QV_SIM_PATH;
  std::vector<std::string> args = {program, "--root", root_, "--json", "--script", "-"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    fail("cannot start " + program);
  }
  posix_spawn_file_actions_destroy(&actions);
  ::close(toChild[0]);
  ::close(fromChild[1]);
  in_ = toChild[1];
  out_ = fromChild[0];
}

SimSession::~SimSession() {
  if (in_ >= 0) ::close(in_);
  int status = 0;
  if (pid_ > 0) ::waitpid(pid_, &status, 0);
  if (out_ >= 0) ::close(out_);
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

std::string SimSession::readLine() {
  for (;;) {
    size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return line;
    }
    char chunk[65536];
    ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("the simulator ended");
    buffer_.append(chunk, static_cast<size_t>(n));
  }
}

SimSession::CpuTime SimSession::cpuTime() const {
  std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  // Fields after the command name, which is in parentheses: state is field 3, utime 14.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; i++) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
  return {static_cast<double>(utime) / tick, static_cast<double>(stime) / tick};
}

std::string SimSession::run(const std::string& command) {
  writeAll(in_, command + "\n");
  std::string answer = readLine();
  if (answer.find(",\"ok\":true") == std::string::npos) fail(command + ": " + answer);
  return answer;
}

}  // namespace qv::bench
