#include "options.h"

#include <optional>

#include "failure.h"

namespace qv::prefs {

Options parseOptions(int argc, const char* const* argv, const char* environmentRoot) {
  Options options;
  bool rootGiven = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; i++) {
    std::string word = argv[i];
    if (optionsEnded || word.rfind("--", 0) != 0) {
      if (word == "-h" && !optionsEnded) {
        options.help = true;
      } else {
        options.words.push_back(word);
      }
      continue;
    }
    std::string name = word;
    std::optional<std::string> inlineValue;
    if (size_t eq = word.find('='); eq != std::string::npos) {
      name = word.substr(0, eq);
      inlineValue = word.substr(eq + 1);
    }
    if (name == "--") {
      optionsEnded = true;
    } else if (name == "--help") {
      options.help = true;
    } else if (name == "--force" && !inlineValue) {
      options.force = true;
    } else if (name == "--root") {
      if (!inlineValue && i + 1 >= argc) throw Failure{"--root needs a folder", Failure::Usage};
      options.root = inlineValue ? *inlineValue : argv[++i];
      if (options.root.empty()) throw Failure{"--root needs a folder", Failure::Usage};
      rootGiven = true;
    } else {
      throw Failure{"unknown option " + word, Failure::Usage};
    }
  }
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
