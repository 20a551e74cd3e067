#include "options.h"

#include <getopt.h>

#include <string>
#include <string_view>
#include <vector>

#include "failure.h"

namespace qv::prefs {

Options parseOptions(int argc, const char* const* argv, const char* environmentRoot) {
  enum : int { kWord = 1, kHelp = 1000, kForce, kRoot };
  static const option kLongOptions[] = {{"help", no_argument, nullptr, kHelp},
                                        {"force", no_argument, nullptr, kForce},
                                        {"root", required_argument, nullptr, kRoot},
                                        {nullptr, 0, nullptr, 0}};
  Options options;
  bool rootGiven = false;
  // A word with a single dash other than -h is a value such as "-0.5", never a cluster of short
  // options: getopt_long gets it behind a space, which makes it no option, and gives it back.
  std::vector<std::string> disguised;
  disguised.reserve(static_cast<size_t>(argc));  // the words stay where getopt_long sees them
  std::vector<char*> words;
  for (int i = 0; i < argc; i++) {
    std::string_view w = argv[i];
    if (i > 0 && w.size() > 1 && w[0] == '-' && w[1] != '-' && w != "-h") {
      words.push_back(disguised.emplace_back(" " + std::string(w)).data());
    } else {
      words.push_back(const_cast<char*>(argv[i]));
    }
  }
  words.push_back(nullptr);
  auto original = [&](const char* word) {
    for (const std::string& d : disguised) {
      if (word == d.data()) return word + 1;
    }
    return word;
  };
  // getopt_long in order ("-": each word that is no option comes back as kWord, so options may
  // stand anywhere), reporting by return value (":" tells a missing value apart).
  opterr = 0;
  optind = 0;  // a fresh scan, also when parsed before
  for (;;) {
    int c = getopt_long(argc, words.data(), "-:h", kLongOptions, nullptr);
    if (c == -1) break;
    switch (c) {
      case kWord:
        options.words.emplace_back(original(optarg));
        break;
      case 'h':
      case kHelp:
        options.help = true;
        break;
      case kForce:
        options.force = true;
        break;
      case kRoot:
        options.root = original(optarg);
        if (options.root.empty()) throw Failure{"--root needs a folder", Failure::Usage};
        rootGiven = true;
        break;
      case ':':
        throw Failure{"--root needs a folder", Failure::Usage};
      default: {  // '?': unknown, ambiguous, or a value given to an option that takes none
        std::string written = words[static_cast<size_t>(optind) - 1];
        throw Failure{"unknown option " + written, Failure::Usage};
      }
    }
  }
  // After "--" every word is a word.
  for (; optind < argc; optind++) options.words.emplace_back(argv[optind]);
  if (!rootGiven && environmentRoot) options.root = environmentRoot;
  return options;
}

void requireRoot(const Options& options) {
  if (options.root.empty()) {
    throw Failure{"no device root: give --root DIR or set QUORVEL_ROOT", Failure::Usage};
  }
}

std::string usageText() {
  return "usage: quorvel-prefs [--root DIR] [--force] COMMAND [ARGUMENTS]\n"
         "\n"
         "Reads and changes the Quorvel settings of a simulated device, as the phone's settings\n"
         "pane does, then tells a running home screen (quorvel-sim on the same root) to reload.\n"
         "\n"
         "Commands:\n"
         "  list               every setting: type, default and current value; the app lists\n"
         "  get KEY            the current value of KEY (its default when it is not set)\n"
         "  set KEY VALUE      booleans: true/false, yes/no, on/off, 1/0;\n"
         "                     menuColorAlpha: a number from 0 to 1\n"
         "  reset [KEY]        KEY back to its default; without KEY every setting (the app\n"
         "                     lists and unknown keys are kept)\n"
         "  color static TEXT  the static menu colour: #RRGGBB, #RRGGBB:ALPHA, rgb(R, G, B)\n"
         "                     or rgba(R, G, B, A)\n"
         "  pane               the phone's settings pane (a PreferenceLoader entry) as an XML\n"
         "                     property list, made from the same keys; needs no device root\n"
         "\n"
         "Options:\n"
         "  --root DIR   the folder that stands for the device's '/' (default: the\n"
         "               QUORVEL_ROOT environment variable; created if missing)\n"
         "  --force      replace a settings file or colour list that cannot be read,\n"
         "               instead of refusing to write over it\n"
         "  --help       this text\n"
         "\n"
         "Exit status: 0 done, 1 refused (unknown key, wrong value, unreadable file,\n"
         "unusable root; nothing is written), 2 bad command line.\n";
}

}  // namespace qv::prefs
