// Commands that set the device up, mostly before boot.
#include <filesystem>

#include "foundation/device_root.h"
#include "handlers.h"
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
  for (const host::AppState& a : session.home.apps()) {
    if (a.setup.bundleID == identifier) {
      throw ScenarioError{command + ": " + identifier + " is already installed"};
    }
  }
  for (const host::IconEntry& e : session.home.icons()) {
    if (e.identifier == identifier) {
      throw ScenarioError{command + ": an icon " + identifier + " is already on the home screen"};
    }
  }
}

}  // namespace

CommandResult runDevice(Session& session, const Invocation& inv) {
  std::optional<std::string> os = inv.option("os");
  if (!os) throw ScenarioError{"device: os=VERSION is needed"};
  session.home.setOsVersion(*os);
  CommandResult result;
  result.fields.set("os", *os);
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

CommandResult runWallpaper(Session& session, const Invocation& inv) {
  const std::string& what = inv.arg(0);
  if (!what.empty() && what[0] == '#') {
    session.home.setWallpaperColor(readColour("wallpaper", what));
  } else {
    session.home.setWallpaperImage(readPngPath("wallpaper", what, session.baseDir));
  }
  return {};
}

CommandResult runSetting(Session& session, const Invocation& inv) {
  const std::string& key = inv.arg(0);
  if (key.empty()) throw ScenarioError{"setting: the key is empty"};
  Json value = readSettingValue(inv.args.at(1));
  session.home.writeSetting(key, value);
  CommandResult result;
  result.fields.set("key", key);
  result.fields.set("value", value);
  return result;
}

CommandResult runStaticColor(Session& session, const Invocation& inv) {
  session.home.writeStaticColor(inv.arg(0));
  return {};
}

CommandResult runFile(Session& session, const Invocation& inv) {
  const std::string& path = inv.arg(0);
  if (path.empty() || path.back() == '/') throw ScenarioError{"file: a file path is needed"};
  if (fs::is_directory(host::realPath(path))) throw ScenarioError{"file: " + path + " is a folder"};
  session.home.writeFile(path, inv.arg(1));
  return {};
}

CommandResult runBoot(Session& session, const Invocation&) {
  host::HomeScreen& home = session.home;
  if (!session.libraryPath.empty() && !fs::is_regular_file(session.libraryPath)) {
    throw ScenarioError{"boot: no library at " + session.libraryPath};
  }
  home.boot(session.libraryPath);
  Json state = home.dump();
  CommandResult result;
  std::string line = "booted OS " + home.osVersion() + " (family " + familyName(home.family()) +
                     "), " + std::to_string(home.icons().size()) +
                     (home.icons().size() == 1 ? " icon, " : " icons, ");
  line += home.libraryLoaded()
              ? "library loaded with " + std::to_string(state["hooks"].size()) + " hooks"
              : "no library";
  result.lines.push_back(line);
  result.fields.set("os", home.osVersion());
  result.fields.set("family", familyName(home.family()));
  result.fields.set("library", home.libraryLoaded());
  result.fields.set("hooks", state["hooks"].size());
  result.fields.set("icons", home.icons().size());
  return result;
}

}  // namespace qv::sim
