// quorvel-sim: a simulated home screen with the library loaded, driven by commands.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "demo.h"
#include "foundation/foundation.h"
#include "foundation/main_loop.h"
#include "options.h"
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
  fs::create_directories(root, ec);
  if (!fs::is_directory(root, ec))
    throw qv::sim::UsageError{"cannot use " + asked + " as the device root"};
  return root.string();
}

}  // namespace

int main(int argc, char** argv) {
  using qv::sim::Options;
  Options options;
  std::ifstream scriptFile;
  std::istream* input = &std::cin;
  fs::path baseDir = fs::current_path();
  std::string root;
  try {
    options = qv::sim::parseOptions(argc, argv);
    if (options.mode == Options::Mode::Help) {
      std::cout << qv::sim::usageText();
      return 0;
    }
    if (options.mode == Options::Mode::Script && options.script != "-") {
      scriptFile.open(options.script);
      if (!scriptFile) throw qv::sim::UsageError{"cannot read " + options.script};
      input = &scriptFile;
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

  qv::sim::Session session{home, options.libraryPath, baseDir};
  qv::sim::Reporter reporter(options.json, std::cout, std::cerr);
  int status = 0;
  switch (options.mode) {
    case Options::Mode::Demonstration:
      status = qv::sim::runDemonstration(session, reporter);
      break;
    case Options::Mode::Script:
      status = qv::sim::runCommands(session, reporter, *input, qv::sim::InputMode::Script);
      break;
    case Options::Mode::Help:  // answered above
      break;
    case Options::Mode::Commands:
      status = qv::sim::runCommands(
          session, reporter, std::cin,
          isatty(STDIN_FILENO) ? qv::sim::InputMode::Interactive : qv::sim::InputMode::Script);
      break;
  }
  qv::host::stopAuthenticationService();
  return status;
}
