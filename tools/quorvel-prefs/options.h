// The command line of quorvel-prefs.
#pragma once

#include <string>
#include <vector>

namespace qv::prefs {

struct Options {
  bool help = false;
  bool force = false;
  std::string root;                // the device root folder
  std::vector<std::string> words;  // the command and its arguments
};

// Options may stand anywhere; a word after "--" is never one, and neither is a word with a
// single dash (a value such as "-0.5"). The root comes from --root, else from
// `environmentRoot` (QUORVEL_ROOT; null or empty when unset). Throws Failure (Usage).
Options parseOptions(int argc, const char* const* argv, const char* environmentRoot);

std::string usageText();

}  // namespace qv::prefs
