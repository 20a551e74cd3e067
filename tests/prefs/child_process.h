// Running quorvel-prefs and quorvel-sim as child processes: to completion, on pipes, or on a
// pseudo-terminal as a person at a keyboard would.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qv::testing {

using namespace std::chrono_literals;

// Generous, for the sanitizer builds; the waits end as soon as what they wait for arrives.
constexpr std::chrono::milliseconds kPatience = 30s;

struct ProgramRun {
  int status = -1;  // exit status; 128 + N when killed by signal N
  std::string out;
  std::string err;
};

// Runs `path` with `args` to its end, standard input empty. The environment is this
// process's without QUORVEL_ROOT, plus `env` ("NAME=VALUE" entries).
ProgramRun runProgram(const std::string& path, const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {});

// A program whose standard input and output are pipes to the test.
class PipedProcess {
 public:
  PipedProcess(const std::string& path, const std::vector<std::string>& args);
  ~PipedProcess();
  PipedProcess(const PipedProcess&) = delete;
  PipedProcess& operator=(const PipedProcess&) = delete;

  bool started() const { return pid_ > 0; }
  void send(const std::string& line);  // the line and its newline
  // The next line of output; nothing when none arrives in time or the output ended.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = kPatience);
  // Ends its input and waits for it to exit; the exit status.
  int finish();
  const std::string& errors();  // what it wrote on standard error so far

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  std::string errPath_;
  std::string buffer_;
  std::string errText_;
};

// A program on a pseudo-terminal of its own (80 columns), TERM=xterm.
class TerminalProcess {
 public:
  TerminalProcess(const std::string& path, const std::vector<std::string>& args);
  ~TerminalProcess();
  TerminalProcess(const TerminalProcess&) = delete;
  TerminalProcess& operator=(const TerminalProcess&) = delete;

  bool started() const { return pid_ > 0; }
  void type(const std::string& keys);
  // Waits until `text` appears in the output after what earlier waits matched, and moves past
  // it; false when it does not appear in time.
  bool expect(const std::string& text, std::chrono::milliseconds timeout = kPatience);
  // Everything shown so far, escape sequences included.
  const std::string& transcript() const { return shown_; }
  // Waits for it to exit; the exit status, or -1 when it does not exit in time.
  int waitExit(std::chrono::milliseconds timeout = kPatience);

 private:
  bool readSome(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int master_ = -1;
  std::string shown_;
  size_t matched_ = 0;
};

}  // namespace qv::testing
