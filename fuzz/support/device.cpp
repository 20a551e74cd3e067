#include "support/device.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "foundation/device_root.h"
#include "foundation/main_loop.h"
#include "uikit/uikit.h"

namespace qv::fuzz {

namespace {

std::string gRoot;

void removeRoot() {
  std::error_code ec;
  if (!gRoot.empty()) std::filesystem::remove_all(gRoot, ec);
}

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "fuzz setup: %s\n", message.c_str());
  std::abort();
}

}  // namespace

void useFreshDeviceRoot(const std::string& name) {
  // Files are rewritten on every input: in memory when the machine has a RAM file system, as
  // a disk file system would flush each replaced file.
  std::error_code ec;
  std::string base = std::filesystem::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0
                         ? "/dev/shm"
                         : "/tmp";
  std::string tmpl = base + "/quorvel-fuzz-" + name + "-XXXXXX";
  if (!mkdtemp(tmpl.data())) die("cannot create " + tmpl);
  gRoot = tmpl;
  std::atexit(removeRoot);
  host::setDeviceRoot(gRoot);
}

const std::vector<std::string>& fuzzApps() {
  static const std::vector<std::string> apps = {"com.example.mail", "com.example.bank",
                                                "com.example.notes", "com.example.music",
                                                "com.example.maps"};
  return apps;
}

const std::vector<std::string>& fuzzIcons() {
  static const std::vector<std::string> icons = [] {
    std::vector<std::string> all = fuzzApps();
    all.push_back("Utilities");
    all.push_back("com.example.weather.widget");
    return all;
  }();
  return icons;
}

host::HomeScreen& bootFuzzDevice(const std::string& name, const std::string& os) {
#ifndef QV_LIBRARY_PATH
  die("built without the library");
#else
  if (!std::filesystem::is_regular_file(QV_LIBRARY_PATH)) {
    die(std::string("no library at ") + QV_LIBRARY_PATH);
  }
  useFreshDeviceRoot(name);
  host::markMainThread();
  host::registerUIKit();
  host::HomeScreen& home = host::HomeScreen::shared();
  try {
    home.setDeviceRoot(gRoot);
    home.setOsVersion(os);
    // Every kind of app the library treats differently: badges, own shortcuts, no data
    // container, playing audio, no notification section.
    auto app = [](const char* id, const char* name, std::optional<long> badge) {
      host::AppSetup setup;
      setup.bundleID = id;
      setup.name = name;
      setup.badge = badge;
      return setup;
    };
    host::AppSetup mail = app("com.example.mail", "Mail", 3);
    mail.shortcuts = {"Compose"};
    host::AppSetup bank = app("com.example.bank", "Bank", std::nullopt);
    bank.shortcuts = {"Pay", "Transfer"};
    host::AppSetup notes = app("com.example.notes", "Notes", 12);
    notes.container = false;
    host::AppSetup music = app("com.example.music", "Music", std::nullopt);
    music.nowPlaying = true;
    music.section = false;
    host::AppSetup maps = app("com.example.maps", "Maps", 0);
    for (const host::AppSetup& setup : {mail, bank, notes, music, maps}) home.addApp(setup);
    home.addFolder("Utilities");
    home.addWidget("com.example.weather.widget");
    home.boot(QV_LIBRARY_PATH);
  } catch (const host::ScenarioError& e) {
    die("boot failed: " + e.message);
  }
  if (!home.libraryLoaded()) die("the library did not load");
  return home;
#endif
}

std::string fuzzOsVersion() {
  const char* os = std::getenv("QV_FUZZ_OS");
  return os && *os ? os : "14.2";
}

const std::vector<std::string>& settingWords() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> w = fuzzApps();
    for (const char* s : {"", "YES", "NO", "true", "false", "1", "0", "0.5", "-1", "1e400", "nan",
                          "inf", "#ff0000", "#00ff00:0.5", "rgb(1, 2, 3)", "rgba(0,0,0,0)",
                          "com.example", "com.example.mail ", "COM.EXAMPLE.MAIL"}) {
      w.push_back(s);
    }
    return w;
  }();
  return words;
}

}  // namespace qv::fuzz
