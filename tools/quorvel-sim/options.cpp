#include "options.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/loader.h"

#ifndef QV_LIBRARY_PATH
#define QV_LIBRARY_PATH ""
#endif

namespace qv::sim {

Options parseOptions(int argc, const char* const* argv) {
  Options options;
  options.libraryPath = chosenLibrary(QV_LIBRARY_PATH);
  if (const char* cpu = std::getenv("QUORVEL_CPU"); cpu && *cpu) {
    if (std::string(cpu) != "arm64" && std::string(cpu) != "arm64e") {
      throw UsageError{"QUORVEL_CPU takes arm64 or arm64e"};
    }
  }
  if (argc <= 1) return options;
  options.mode = Options::Mode::Commands;
  bool library = false, noLibrary = false, script = false, demo = false;

  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); i++) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (name.rfind("--", 0) == 0 && name.find('=') != std::string::npos) {
      inlineValue = name.substr(name.find('=') + 1);
      name = name.substr(0, name.find('='));
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw UsageError{name + " needs a value"};
      return args[++i];
    };
    auto noValue = [&] {
      if (inlineValue) throw UsageError{name + " takes no value"};
    };

    if (name == "--help" || name == "-h") {
      noValue();
      options.mode = Options::Mode::Help;
      return options;
    } else if (name == "--script") {
      options.script = value();
      if (options.script.empty()) throw UsageError{"--script needs a file name (or -)"};
      script = true;
    } else if (name == "--os") {
      options.os = value();
    } else if (name == "--cpu") {
      options.cpu = value();
      if (*options.cpu != "arm64" && *options.cpu != "arm64e") {
        throw UsageError{"--cpu takes arm64 or arm64e"};
      }
    } else if (name == "--root") {
      options.root = value();
      if (options.root.empty()) throw UsageError{"--root needs a folder"};
    } else if (name == "--json") {
      noValue();
      options.json = true;
    } else if (name == "--demo") {
      noValue();
      demo = true;
    } else if (name == "--dump-each") {
      options.dumpEach = value();
      if (options.dumpEach.empty()) throw UsageError{"--dump-each needs a folder"};
    } else if (name == "--check-changes") {
      noValue();
      options.checkChanges = true;
    } else if (name == "--library") {
      options.libraryPath = value();
      if (options.libraryPath.empty()) throw UsageError{"--library needs a path"};
      library = true;
    } else if (name == "--no-library") {
      noValue();
      options.libraryPath.clear();
      noLibrary = true;
    } else if (name.rfind("-", 0) == 0 && name != "-") {
      throw UsageError{"unknown option " + name};
    } else {
      throw UsageError{"unexpected argument \"" + name + "\""};
    }
  }
  if (library && noLibrary) throw UsageError{"--library and --no-library exclude each other"};
  if (script) options.mode = Options::Mode::Script;
  if (demo) {
    if (script) throw UsageError{"--demo and --script exclude each other"};
    if (!options.root.empty() || options.os || options.json || options.checkChanges) {
      throw UsageError{"--demo takes only --library, --no-library, --cpu and --dump-each"};
    }
    options.mode = Options::Mode::Demonstration;
  }
  return options;
}

std::string usageText() {
  return "usage: quorvel-sim [--script FILE|-] [--os VERSION] [--cpu arm64|arm64e] [--root DIR]\n"
         "                   [--json]\n"
         "                   [--library PATH | --no-library] [--check-changes]\n"
         "                   [--dump-each DIR]\n"
         "       quorvel-sim [--demo] [--library PATH | --no-library] [--dump-each DIR]\n"
         "\n"
         "Runs the home screen of a simulated device with the Quorvel library loaded.\n"
         "Without arguments it runs a demonstration on a built-in device. With --script it\n"
         "runs the commands of FILE (- for standard input) and stops at the first error.\n"
         "Otherwise it reads commands from the terminal at a prompt, or from standard input.\n"
         "\n"
         "  --script FILE   run the commands in FILE, one per line\n"
         "  --os VERSION    the OS version the device reports (a 'device os=' line overrides)\n"
         "  --cpu CPU       the device's processor, arm64 (the default) or arm64e: the\n"
         "                  slice of a Mach-O library it loads (a 'device cpu=' line\n"
         "                  overrides; default: QUORVEL_CPU, else arm64)\n"
         "  --root DIR      the folder that stands for the device's '/' (default: a new\n"
         "                  folder under /tmp, named on standard error and kept)\n"
         "  --json          one JSON object per command instead of text\n"
         "  --library PATH  the library to load at boot: a native shared object or the\n"
         "                  phone's Mach-O dylib (default: QUORVEL_LIBRARY, else this\n"
         "                  build's own)\n"
         "  --no-library    boot the home screen without the library\n"
         "  --demo          run the demonstration (what no arguments do) with the options\n"
         "                  given: pictures go to ./quorvel-demo\n"
         "  --dump-each DIR after every command, write the whole state (as 'dump' shows it)\n"
         "                  to DIR/NNN.json, NNN the line number; with the demonstration,\n"
         "                  each chapter's into DIR/chapter-NN (to compare two builds)\n"
         "  --check-changes tell each command's changes also from whole dumps taken around\n"
         "                  it; a difference fails the command (checks the simulator)\n"
         "  --help          this text\n"
         "\n"
         "Type 'help' at the prompt (or in a script) for the commands.\n"
         "Exit status: 0 done, 1 a command failed, 2 bad command line.\n";
}

}  // namespace qv::sim
