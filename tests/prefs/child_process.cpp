#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace qv::testing {
namespace {

using Clock = std::chrono::steady_clock;

// This process's environment without QUORVEL_ROOT, plus `extra`.
std::vector<std::string> childEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e; e++) {
    if (std::strncmp(*e, "QUORVEL_ROOT=", 13) != 0 && std::strncmp(*e, "TERM=", 5) != 0) {
      env.push_back(*e);
    }
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

std::vector<std::string> commandLine(const std::string& path,
                                     const std::vector<std::string>& args) {
  std::vector<std::string> all = {path};
  all.insert(all.end(), args.begin(), args.end());
  return all;
}

int waitStatus(pid_t pid) {
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

// A child still running at the end of a test is stopped, so that no test leaves one behind.
void stopChild(pid_t pid) {
  if (pid <= 0) return;
  int wstatus = 0;
  if (waitpid(pid, &wstatus, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitStatus(pid);
  }
}

long long millisLeft(Clock::time_point deadline) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

// Reads what `fd` has within the time left; false at its end or when the time is up.
bool readWithin(int fd, std::string& into, Clock::time_point deadline) {
  long long left = millisLeft(deadline);
  if (left <= 0) return false;
  pollfd p = {fd, POLLIN, 0};
  int ready = poll(&p, 1, static_cast<int>(left));
  if (ready < 0 && errno == EINTR) return true;
  if (ready <= 0) return false;
  char chunk[65536];
  ssize_t n = read(fd, chunk, sizeof chunk);
  if (n < 0 && errno == EINTR) return true;
  if (n <= 0) return false;
  into.append(chunk, static_cast<size_t>(n));
  return true;
}

}  // namespace

ProgramRun runProgram(const std::string& path, const std::vector<std::string>& args,
                      const std::vector<std::string>& env) {
  ProgramRun run;
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return run;
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  std::vector<std::string> argv = commandLine(path, args);
  std::vector<std::string> envp = childEnvironment(env);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, pointers(argv).data(),
                       pointers(envp).data());
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  if (rc == 0) {
    // Both streams at once, so that neither pipe fills while the other is read.
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* into[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0) {
      if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
      for (int i = 0; i < 2; i++) {
        if (fds[i].fd < 0 || !fds[i].revents) continue;
        char chunk[65536];
        ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
        if (n > 0) {
          into[i]->append(chunk, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
          fds[i].fd = -1;
          open--;
        }
      }
    }
    run.status = waitStatus(pid);
  }
  close(outPipe[0]);
  close(errPipe[0]);
  return run;
}

// ---- PipedProcess ----

PipedProcess::PipedProcess(const std::string& path, const std::vector<std::string>& args) {
  signal(SIGPIPE, SIG_IGN);  // a child that died must fail the test, not kill it
  char errTemplate[] = "/tmp/qv-child-err-XXXXXX";
  int errFd = mkostemp(errTemplate, O_CLOEXEC);
  if (errFd < 0) return;
  errPath_ = errTemplate;
  int inPipe[2], outPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0) return;
  if (pipe2(outPipe, O_CLOEXEC) != 0) {
    close(inPipe[0]);
    close(inPipe[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  std::vector<std::string> argv = commandLine(path, args);
  std::vector<std::string> envp = childEnvironment({});
  pid_t pid = 0;
  int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, pointers(argv).data(),
                       pointers(envp).data());
  posix_spawn_file_actions_destroy(&actions);
  close(inPipe[0]);
  close(outPipe[1]);
  close(errFd);
  in_ = inPipe[1];
  out_ = outPipe[0];
  if (rc == 0) pid_ = pid;
}

PipedProcess::~PipedProcess() {
  if (in_ >= 0) close(in_);
  stopChild(pid_);
  if (out_ >= 0) close(out_);
  if (!errPath_.empty()) unlink(errPath_.c_str());
}

void PipedProcess::send(const std::string& line) {
  std::string bytes = line + "\n";
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(in_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::optional<std::string> PipedProcess::readLine(std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  for (;;) {
    size_t nl = buffer_.find('\n');
    if (nl != std::string::npos) {
      std::string line = buffer_.substr(0, nl);
      buffer_.erase(0, nl + 1);
      return line;
    }
    if (!readWithin(out_, buffer_, deadline)) return std::nullopt;
  }
}

int PipedProcess::finish() {
  if (in_ >= 0) close(in_);
  in_ = -1;
  int status = pid_ > 0 ? waitStatus(pid_) : -1;
  pid_ = -1;
  return status;
}

const std::string& PipedProcess::errors() {
  std::ifstream in(errPath_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  errText_ = text.str();
  return errText_;
}

// ---- TerminalProcess ----

TerminalProcess::TerminalProcess(const std::string& path, const std::vector<std::string>& args) {
  // Everything the child needs is made before the fork.
  std::vector<std::string> argv = commandLine(path, args);
  std::vector<std::string> envp = childEnvironment({"TERM=xterm"});
  std::vector<char*> argvPointers = pointers(argv), envPointers = pointers(envp);
  winsize size{};
  size.ws_row = 40;
  size.ws_col = 80;
  int master = -1;
  pid_t pid = forkpty(&master, nullptr, nullptr, &size);
  if (pid == 0) {
    execve(path.c_str(), argvPointers.data(), envPointers.data());
    _exit(127);
  }
  if (pid < 0) return;
  pid_ = pid;
  master_ = master;
  fcntl(master_, F_SETFD, FD_CLOEXEC);
}

TerminalProcess::~TerminalProcess() {
  stopChild(pid_);
  if (master_ >= 0) close(master_);
}

void TerminalProcess::type(const std::string& keys) {
  size_t done = 0;
  while (done < keys.size()) {
    ssize_t n = write(master_, keys.data() + done, keys.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

bool TerminalProcess::readSome(std::chrono::milliseconds timeout) {
  // The terminal's end reads EIO once the child has gone.
  return readWithin(master_, shown_, Clock::now() + timeout);
}

bool TerminalProcess::expect(const std::string& text, std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  for (;;) {
    size_t at = shown_.find(text, matched_);
    if (at != std::string::npos) {
      matched_ = at + text.size();
      return true;
    }
    long long left = millisLeft(deadline);
    if (left <= 0 || !readSome(std::chrono::milliseconds(left))) return false;
  }
}

int TerminalProcess::waitExit(std::chrono::milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    int wstatus = 0;
    pid_t done = waitpid(pid_, &wstatus, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    }
    // Keep draining, so that a child writing at its end is not blocked.
    if (!readSome(20ms)) std::this_thread::sleep_for(5ms);
  }
  return -1;
}

}  // namespace qv::testing
