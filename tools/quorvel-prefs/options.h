// The command line of quorvel-prefs.
#pragma once

#include <string>
#include <vector>

namespace qv::prefs {

struct Options {
  bool help = false;
  bool force = false;
  std::string root;                // the device root folder; empty when none was named
  std::vector<std::string> words;  // the command and its arguments
};

// Options may stand anywhere; a word after "--" is never one, and neither is a word with a
// single dash (a value such as "-0.5"). The root comes from --root, else from
// `environmentRoot` (QUORVEL_ROOT; null or empty when unset); the commands that touch a device
// require one (requireRoot). Throws Failure (Usage).
Options parseOptions(int argc, const char* const* argv, const char* environmentRoot);

// Throws Failure (Usage) when no device root was named.
void requireRoot(const Options& options);

std::string usageText();

}  // namespace qv::prefs
