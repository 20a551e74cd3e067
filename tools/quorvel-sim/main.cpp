// quorvel-sim: a simulated home screen with the library loaded, driven by commands.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "completion.h"
#include "demo.h"
#include "fd_line_source.h"
#include "foundation/foundation.h"
#include "foundation/main_loop.h"
#include "line_editor.h"
#include "options.h"
#include "queued_work.h"
#include "script_runner.h"
#include "uikit/auth_service.h"

namespace fs = std::filesystem;

namespace {

int usageError(const std::string& message) {
  std::cerr << "quorvel-sim: " << message << "\nTry 'quorvel-sim --help'.\n";
  return 2;
}

// The device root: the folder asked for, or a new one under /tmp that is kept afterwards.
std::string chooseRoot(const std::string& asked) {
  if (asked.empty()) {
    char tmpl[] = "/tmp/quorvel-sim-XXXXXX";
    if (!mkdtemp(tmpl)) throw qv::sim::UsageError{"cannot create a device root under /tmp"};
    std::cerr << "quorvel-sim: device root " << tmpl << std::endl;
    return tmpl;
  }
  std::error_code ec;
  fs::path root = fs::absolute(asked, ec);
  if (ec) throw qv::sim::UsageError{"cannot use " + asked + " as the device root: " + ec.message()};
  // What is in the way, if anything: the folder itself or one above it that is not a folder.
  for (fs::path p = root; !p.empty(); p = p.parent_path()) {
    if (fs::exists(fs::symlink_status(p, ec)) || p == p.parent_path()) {
      if (fs::exists(p, ec) && !fs::is_directory(p, ec)) {
        throw qv::sim::UsageError{"cannot use " + asked + " as the device root: " +
                                  (p == root ? std::string("it is a file, not a folder")
                                             : p.string() + " is a file, not a folder")};
      }
      break;
    }
  }
  fs::create_directories(root, ec);
  if (ec || !fs::is_directory(root, ec)) {
    throw qv::sim::UsageError{"cannot use " + asked +
                              " as the device root: " + (ec ? ec.message() : "it is not a folder")};
  }
  return root.string();
}

// A script file for reading; -1 when it cannot be read or is a folder.
int openScript(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
    close(fd);
    fd = -1;
  }
  return fd;
}

}  // namespace

int main(int argc, char** argv) {
  using qv::sim::Options;
  Options options;
  int input = STDIN_FILENO;
  fs::path baseDir = fs::current_path();
  std::string root;
  try {
    options = qv::sim::parseOptions(argc, argv);
    if (options.mode == Options::Mode::Help) {
      std::cout << qv::sim::usageText();
      return 0;
    }
    if (options.mode == Options::Mode::Demonstration) {
      return qv::sim::runDemonstration("quorvel-demo", options.libraryPath, options.dumpEach,
                                       options.cpu.value_or(""));
    }
    if (options.mode == Options::Mode::Script && options.script != "-") {
      input = openScript(options.script);
      if (input < 0) throw qv::sim::UsageError{"cannot read " + options.script};
      // Pictures named in a script are found next to it.
      baseDir = fs::absolute(options.script).parent_path();
    }
    root = chooseRoot(options.root);
  } catch (const qv::sim::UsageError& e) {
    return usageError(e.message);
  }

  // This thread drives the home screen; Foundation is needed before boot for the settings.
  qv::host::markMainThread();
  qv::host::registerFoundation();
  qv::host::HomeScreen& home = qv::host::HomeScreen::shared();
  home.setDeviceRoot(root);
  if (options.os) home.setOsVersion(*options.os);
  if (options.cpu) home.setCpu(*options.cpu);

  qv::sim::Session session{home, options.libraryPath, baseDir};
  session.checkChanges = options.checkChanges;
  session.dumpEach = options.dumpEach;
  session.cpuGiven = options.cpu.has_value();
  qv::sim::Reporter reporter(options.json, std::cout, std::cerr);
  // Between commands the session keeps running: what other processes post (the settings
  // program's reload, say) takes effect at once. JSON output stays one object per command.
  qv::sim::QueuedWorkHandler onWork = [&]() -> std::vector<std::string> {
    std::vector<std::string> changes;
    try {
      changes = qv::sim::runQueuedWork(session);
    } catch (const qv::host::ScenarioError& e) {
      std::cerr << "quorvel-sim: " << e.message << std::endl;
    } catch (const std::exception& e) {
      std::cerr << "quorvel-sim: failed: " << e.what() << std::endl;
    }
    if (options.json) return {};
    for (std::string& c : changes) c = "update: " + c;
    return changes;
  };
  int status = 0;
  if (options.mode == Options::Mode::Commands && isatty(STDIN_FILENO)) {
    qv::sim::LineEditor editor(
        "quorvel> ",
        [&](const std::string& before) { return qv::sim::completionCandidates(session, before); },
        onWork);
    status = qv::sim::runCommands(session, reporter, editor, qv::sim::InputMode::Interactive);
  } else if (options.mode != Options::Mode::Help) {  // Help was answered above
    qv::sim::FdLineSource source(input, onWork, std::cout);
    status = qv::sim::runCommands(session, reporter, source, qv::sim::InputMode::Script);
  }
  qv::host::stopAuthenticationService();
  return status;
}
