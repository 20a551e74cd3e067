// A home screen booted once per benchmark program, in a temporary device root.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/main_loop.h"
#include "runtime/loader.h"
#include "springboard/home_screen.h"
#include "uikit/uikit.h"

namespace qv::bench {

struct BootedHome {
  std::string root;
  host::HomeScreen& home = host::HomeScreen::shared();

  // `setup` adds apps and settings before the library loads. QV_BENCH_OS, when set, replaces
  // `os`: the version-14 benchmarks run on a 15.x or 16.x device that way.
  template <class Setup>
  BootedHome(const std::string& os, Setup setup) {
    char tmpl[] = "/tmp/quorvel-bench-XXXXXX";
    root = mkdtemp(tmpl);
    host::markMainThread();
    host::registerUIKit();
    home.setDeviceRoot(root);
    const char* chosen = std::getenv("QV_BENCH_OS");
    home.setOsVersion(chosen && *chosen ? chosen : os);
    setup(home);
    home.boot(chosenLibrary(QV_LIBRARY_PATH));
  }
  ~BootedHome() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

}  // namespace qv::bench
