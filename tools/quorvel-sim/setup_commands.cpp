// Commands that set the device up, mostly before boot.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

#include "foundation/path_resolution.h"
#include "handlers.h"
#include "observe/state_dump.h"
#include "runtime/loader.h"
#include "runtime/system_images.h"
#include "schema/settings_schema.h"
#include "values.h"

namespace qv::sim {

using host::Json;
using host::ScenarioError;

namespace fs = std::filesystem;

namespace {

// Apps, folders and widgets are pressed by identifier, so two icons may not share one.
void requireFreeIdentifier(const Session& session, const std::string& command,
                           const std::string& identifier) {
  if (identifier.empty()) throw ScenarioError{command + ": the identifier is empty"};
  if (session.home.app(identifier)) {
    throw ScenarioError{command + ": " + identifier + " is already installed"};
  }
  // Before boot the icons are only folders and widgets, a few.
  for (const host::IconEntry& e : session.home.icons()) {
    if (e.identifier == identifier) {
      throw ScenarioError{command + ": an icon " + identifier + " is already on the home screen"};
    }
  }
}

// The images a device may lack, by the names scripts use.
const std::pair<const char*, const char*> kOptionalImages[] = {
    {"LocalAuthentication", runtime::kLocalAuthentication},
    {"InstallCoordination", runtime::kInstallCoordination},
    {"MobileCoreServices", runtime::kMobileCoreServices},
    {"ColourPicker", runtime::kColourPicker},
};

// "without=A,B": the device lacks those images; nobody can load them.
std::vector<std::string> imagesWithout(const std::string& names) {
  std::vector<std::string> images;
  size_t start = 0;
  while (start <= names.size()) {
    size_t comma = names.find(',', start);
    std::string name = names.substr(start, comma == std::string::npos ? comma : comma - start);
    auto known = std::find_if(std::begin(kOptionalImages), std::end(kOptionalImages),
                              [&](const auto& image) { return name == image.first; });
    if (known == std::end(kOptionalImages)) {
      std::string valid;
      for (const auto& image : kOptionalImages)
        valid += std::string(valid.empty() ? "" : ", ") + image.first;
      throw ScenarioError{"device: without=" + name + " is none of " + valid};
    }
    images.push_back(known->second);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return images;
}

}  // namespace

CommandResult runDevice(Session& session, const Invocation& inv) {
  std::optional<std::string> os = inv.option("os");
  std::optional<std::string> cpu = inv.option("cpu");
  std::optional<std::string> without = inv.option("without");
  if (!os && !cpu && !without) {
    throw ScenarioError{"device: os=VERSION, cpu=arm64|arm64e or without=IMAGE,... is needed"};
  }
  CommandResult result;
  if (without) {
    if (session.home.booted()) throw ScenarioError{"device: without= is for before boot"};
    host::HostQuirks quirks = session.home.quirks();
    quirks.missingImages = imagesWithout(*without);
    session.home.setQuirks(quirks);
    result.fields["without"] = *without;
  }
  if (cpu) {
    session.home.setCpu(*cpu);
    session.cpuGiven = true;
    result.fields["cpu"] = *cpu;
  }
  if (os) {
    session.home.setOsVersion(*os);
    result.fields["os"] = *os;
  }
  return result;
}

CommandResult runApp(Session& session, const Invocation& inv) {
  host::AppSetup setup;
  setup.bundleID = inv.arg(0);
  requireFreeIdentifier(session, "app", setup.bundleID);
  setup.name = inv.option("name").value_or("");
  if (auto badge = inv.option("badge")) setup.badge = readBadge("app", *badge);
  auto color = inv.option("color");
  auto icon = inv.option("icon");
  if (color && icon) throw ScenarioError{"app: give color= or icon=, not both"};
  if (color) setup.iconColor = readColour("app", *color);
  if (icon) setup.iconFile = readPngPath("app", *icon, session.baseDir);
  if (auto shortcuts = inv.option("shortcuts")) setup.shortcuts = splitList(*shortcuts);
  setup.nowPlaying = inv.flag("nowplaying");
  setup.container = !inv.flag("nocontainer");
  setup.section = !inv.flag("nosection");
  session.home.addApp(setup);
  return {};
}

CommandResult runFolder(Session& session, const Invocation& inv) {
  requireFreeIdentifier(session, "folder", inv.arg(0));
  session.home.addFolder(inv.arg(0));
  return {};
}

CommandResult runWidget(Session& session, const Invocation& inv) {
  requireFreeIdentifier(session, "widget", inv.arg(0));
  session.home.addWidget(inv.arg(0));
  return {};
}

// After boot the host computes the new wallpaper's average colour at once.
CommandResult runWallpaper(Session& session, const Invocation& inv) {
  const std::string& what = inv.arg(0);
  std::function<void()> set;
  if (!what.empty() && what[0] == '#') {
    std::string colour = readColour("wallpaper", what);
    set = [&session, colour] { session.home.setWallpaperColor(colour); };
  } else {
    std::string file = readPngPath("wallpaper", what, session.baseDir);
    set = [&session, file] { session.home.setWallpaperImage(file); };
  }
  if (!session.home.booted()) {
    set();
    return {};
  }
  return withChanges(session, set);
}

namespace {

CommandResult writeSetting(Session& session, const Invocation& inv) {
  const std::string& key = inv.arg(0);
  Json value = readSettingValue(inv.args.at(1));
  session.home.writeSetting(key, value);
  CommandResult result;
  result.fields["key"] = key;
  result.fields["value"] = value;
  return result;
}

// The known key nearest to a misspelt one (at most two letters off), or "".
std::string nearestKey(const std::string& key) {
  std::string best;
  size_t bestDistance = 3;
  for (const prefs::SettingKey& known : prefs::settingKeys()) {
    std::string name = known.name;
    // Edit distance, one row at a time.
    std::vector<size_t> row(name.size() + 1);
    for (size_t j = 0; j <= name.size(); j++) row[j] = j;
    for (size_t i = 1; i <= key.size(); i++) {
      size_t diagonal = row[0];
      row[0] = i;
      for (size_t j = 1; j <= name.size(); j++) {
        size_t above = row[j];
        row[j] =
            std::min({row[j] + 1, row[j - 1] + 1,
                      diagonal + (std::tolower(key[i - 1]) == std::tolower(name[j - 1]) ? 0 : 1)});
        diagonal = above;
      }
    }
    if (row[name.size()] < bestDistance) {
      bestDistance = row[name.size()];
      best = name;
    }
  }
  return best;
}

}  // namespace

// Only the keys the settings program knows, as it does: a misspelt key would otherwise be
// written without a word and read by nothing.
CommandResult runSetting(Session& session, const Invocation& inv) {
  const std::string& key = inv.arg(0);
  if (key.empty()) throw ScenarioError{"setting: the key is empty"};
  if (prefs::isAppListKey(key)) {
    throw ScenarioError{"setting: " + key +
                        " is an app list the library keeps itself (raw-setting writes it anyway)"};
  }
  if (!prefs::findSettingKey(key)) {
    std::string nearest = nearestKey(key);
    throw ScenarioError{"setting: unknown setting \"" + key + "\"" +
                        (nearest.empty() ? "" : " (did you mean " + nearest + "?)") +
                        "; raw-setting writes any key"};
  }
  return writeSetting(session, inv);
}

// Any key: to try what the library makes of keys it does not read, or of odd app lists.
CommandResult runRawSetting(Session& session, const Invocation& inv) {
  if (inv.arg(0).empty()) throw ScenarioError{"raw-setting: the key is empty"};
  return writeSetting(session, inv);
}

CommandResult runStaticColor(Session& session, const Invocation& inv) {
  session.home.writeStaticColor(inv.arg(0));
  return {};
}

CommandResult runFile(Session& session, const Invocation& inv) {
  const std::string& path = inv.arg(0);
  if (path.empty() || path.back() == '/') throw ScenarioError{"file: a file path is needed"};
  bool folder = false;
  if (host::deviceItemExists(path, &folder) && folder) {
    throw ScenarioError{"file: " + path + " is a folder"};
  }
  session.home.writeFile(path, inv.arg(1));
  return {};
}

CommandResult runBoot(Session& session, const Invocation&) {
  host::HomeScreen& home = session.home;
  if (!session.libraryPath.empty() && !fs::is_regular_file(session.libraryPath)) {
    throw ScenarioError{"boot: no library at " + session.libraryPath};
  }
  if (!session.cpuGiven) home.setCpu(chosenCpu(home.osVersion()));
  home.boot(session.libraryPath);
  Json state = host::dumpState(home);
  CommandResult result;
  std::string line = "booted OS " + home.osVersion() + " (family " + familyName(home.family()) +
                     "), " + std::to_string(home.icons().size()) +
                     (home.icons().size() == 1 ? " icon, " : " icons, ");
  line += home.libraryLoaded()
              ? "library loaded with " + std::to_string(state.at("hooks").size()) + " hooks"
          : home.libraryRefusal().empty() ? "no library"
                                          : "library refused: " + home.libraryRefusal();
  result.lines.push_back(line);
  result.fields["os"] = home.osVersion();
  result.fields["family"] = familyName(home.family());
  result.fields["library"] = home.libraryLoaded();
  result.fields["hooks"] = state.at("hooks").size();
  result.fields["icons"] = home.icons().size();
  return result;
}

}  // namespace qv::sim
