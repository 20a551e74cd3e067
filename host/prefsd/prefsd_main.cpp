// quorvel-prefsd ROOT [--linger MS]: the preferences daemon of a device root. Host processes
// start it themselves when they find none (client.h); it is not meant to be run by hand.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "prefsd/server.h"

int main(int argc, char** argv) {
  qv::host::prefsd::DaemonOptions options;
  for (int i = 1; i < argc; i++) {
    std::string word = argv[i];
    if (word == "--linger" && i + 1 < argc) {
      options.linger = std::chrono::milliseconds(std::strtol(argv[++i], nullptr, 10));
    } else if (options.root.empty() && !word.empty() && word[0] != '-') {
      options.root = word;
    } else {
      options.root.clear();
      break;
    }
  }
  if (options.root.empty()) {
    std::fprintf(stderr, "usage: quorvel-prefsd ROOT [--linger MS]\n");
    return 2;
  }
  return qv::host::prefsd::runDaemon(options);
}
