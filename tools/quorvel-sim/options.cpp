#include "options.h"

#include <getopt.h>

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

  enum : int {
    kScript = 1000,
    kOs,
    kCpu,
    kRoot,
    kJson,
    kDemo,
    kDumpEach,
    kCheckChanges,
    kLibrary,
    kNoLibrary,
    kHelp = 'h'
  };
  static const option kLongOptions[] = {{"help", no_argument, nullptr, kHelp},
                                        {"script", required_argument, nullptr, kScript},
                                        {"os", required_argument, nullptr, kOs},
                                        {"cpu", required_argument, nullptr, kCpu},
                                        {"root", required_argument, nullptr, kRoot},
                                        {"json", no_argument, nullptr, kJson},
                                        {"demo", no_argument, nullptr, kDemo},
                                        {"dump-each", required_argument, nullptr, kDumpEach},
                                        {"check-changes", no_argument, nullptr, kCheckChanges},
                                        {"library", required_argument, nullptr, kLibrary},
                                        {"no-library", no_argument, nullptr, kNoLibrary},
                                        {nullptr, 0, nullptr, 0}};
  // getopt_long reports by return value what went wrong, and we say it in our words: "+" stops
  // at the first word that is no option (none is taken), ":" tells a missing value apart.
  std::vector<char*> words;
  for (int i = 0; i < argc; i++) words.push_back(const_cast<char*>(argv[i]));
  words.push_back(nullptr);
  opterr = 0;
  optind = 0;  // a fresh scan, also when parsed before
  for (int c; (c = getopt_long(argc, words.data(), "+:h", kLongOptions, nullptr)) != -1;) {
    switch (c) {
      case kHelp:
        options.mode = Options::Mode::Help;
        return options;
      case kScript:
        options.script = optarg;
        if (options.script.empty()) throw UsageError{"--script needs a file name (or -)"};
        script = true;
        break;
      case kOs:
        options.os = optarg;
        break;
      case kCpu:
        options.cpu = optarg;
        if (*options.cpu != "arm64" && *options.cpu != "arm64e") {
          throw UsageError{"--cpu takes arm64 or arm64e"};
        }
        break;
      case kRoot:
        options.root = optarg;
        if (options.root.empty()) throw UsageError{"--root needs a folder"};
        break;
      case kJson:
        options.json = true;
        break;
      case kDemo:
        demo = true;
        break;
      case kDumpEach:
        options.dumpEach = optarg;
        if (options.dumpEach.empty()) throw UsageError{"--dump-each needs a folder"};
        break;
      case kCheckChanges:
        options.checkChanges = true;
        break;
      case kLibrary:
        options.libraryPath = optarg;
        if (options.libraryPath.empty()) throw UsageError{"--library needs a path"};
        library = true;
        break;
      case kNoLibrary:
        options.libraryPath.clear();
        noLibrary = true;
        break;
      case ':':
        throw UsageError{std::string(words[static_cast<size_t>(optind) - 1]) + " needs a value"};
      default: {  // '?': unknown, ambiguous, or a value given to an option that takes none
        std::string written = words[static_cast<size_t>(optind) - 1];
        std::string name = written.substr(0, written.find('='));
        for (const option& known : kLongOptions) {
          if (known.name && name == std::string("--") + known.name && name != written)
            throw UsageError{name + " takes no value"};
        }
        throw UsageError{"unknown option " + name};
      }
    }
  }
  if (optind < argc) throw UsageError{"unexpected argument \"" + std::string(argv[optind]) + "\""};
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
