// Setting up the device and booting the home-screen process.
#include "springboard/home_screen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "foundation/device_changes.h"
#include "foundation/device_directories.h"
#include "foundation/device_files.h"
#include "foundation/device_root.h"
#include "foundation/property_list.h"
#include "foundation/string_scan.h"
#include "foundation/system_log.h"
#include "runtime/loader.h"
#include "runtime/system_images.h"
#include "schema/settings_schema.h"
#include "springboard/home_setup.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_internal.h"
#include "uikit/device_state.h"
#include "uikit/uikit.h"

namespace qv::host {

namespace fs = std::filesystem;

Family familyForVersion(const std::string& version) {
  float v = static_cast<float>(scanDouble(version));
  if (v >= 14.0f) return Family::V14;
  if (v >= 13.0f) return Family::V13;
  return Family::V12;
}

int hostClassesForVersion(const std::string& version) {
  float v = static_cast<float>(scanDouble(version));
  if (v >= 16.0f) return 16;
  if (v >= 15.0f) return 15;
  if (v >= 14.0f) return 14;
  return v >= 13.0f ? 13 : 12;
}

const char* familyName(Family family) {
  switch (family) {
    case Family::V14:
      return "14";
    case Family::V13:
      return "13";
    case Family::V12:
      return "12";
  }
  return "?";
}

HomeScreen::HomeScreen() = default;
HomeScreen::~HomeScreen() = default;

HomeScreen& HomeScreen::shared() {
  static HomeScreen* home = new HomeScreen();  // lives as long as the process
  return *home;
}

void HomeScreen::requireNotBooted(const char* command) const {
  if (booted_) throw ScenarioError{std::string(command) + ": only before boot"};
}

void HomeScreen::requireBooted(const char* command) const {
  if (!booted_) throw ScenarioError{std::string(command) + ": boot first"};
}

void HomeScreen::setDeviceRoot(const std::string& realFolder) {
  requireNotBooted("root");
  qv::host::setDeviceRoot(realFolder);
  root_ = deviceRoot();
  // The folders every device has.
  std::error_code ec;
  fs::create_directories(realPath(prefs::kPreferencesFolder), ec);
  fs::create_directories(realPath("/var/mobile"), ec);
}

void HomeScreen::setOsVersion(const std::string& version) {
  requireNotBooted("device");
  version_ = version;
}

void HomeScreen::setCpu(const std::string& cpu) {
  requireNotBooted("device");
  if (cpu != "arm64" && cpu != "arm64e") {
    throw ScenarioError{"device: cpu=" + cpu + " is neither arm64 nor arm64e"};
  }
  cpu_ = cpu;
}

void HomeScreen::setQuirks(const HostQuirks& quirks) {
  requireNotBooted("quirks");
  quirks_ = quirks;
}

AppState* HomeScreen::app(const std::string& bundleID) {
  auto it = appIndex_.find(bundleID);
  return it == appIndex_.end() ? nullptr : &apps_[it->second];
}

void HomeScreen::addApp(const AppSetup& setup) {
  requireNotBooted("app");
  if (setup.bundleID.empty()) throw ScenarioError{"app: a bundle identifier is needed"};
  if (app(setup.bundleID)) throw ScenarioError{"app: " + setup.bundleID + " is already installed"};
  AppState state;
  state.setup = setup;
  if (state.setup.name.empty())
    state.setup.name = setup.bundleID.substr(setup.bundleID.rfind('.') + 1);
  state.section.exists = setup.section;
  appIndex_[setup.bundleID] = apps_.size();
  apps_.push_back(std::move(state));
}

const IconEntry* HomeScreen::icon(const std::string& identifier) const {
  auto it = iconIndex_.find(identifier);
  return it == iconIndex_.end() ? nullptr : &icons_[it->second];
}

long HomeScreen::iconPosition(id iconView) const {
  auto it = iconViewIndex_.find(iconView);
  return it == iconViewIndex_.end() ? -1 : static_cast<long>(it->second);
}

void HomeScreen::indexIcons() {
  iconIndex_.clear();
  iconViewIndex_.clear();
  for (size_t i = 0; i < icons_.size(); i++) {
    iconIndex_[icons_[i].identifier] = i;
    if (icons_[i].iconView) iconViewIndex_[icons_[i].iconView.get()] = i;
  }
}

// A change in a data container (a file written or removed by the library or the host) is a
// change of its app.
void HomeScreen::watchContainers() {
  static const std::string kFolder = "/var/mobile/Containers/Data/Application/";
  struct Owner {
    std::string bundleID;
    std::shared_ptr<std::atomic<unsigned long>> changes;
  };
  auto owners = std::make_shared<std::unordered_map<std::string, Owner>>();
  for (const AppState& a : apps_) {
    if (!a.containerPath.empty())
      (*owners)[a.containerPath.substr(kFolder.size())] = {a.setup.bundleID, a.containerChanges};
  }
  setDeviceChangeObserver([owners](const std::string& path) {
    ChangeJournal& journal = HomeScreen::shared().journal();
    auto mark = [&journal](const Owner& owner) {
      owner.changes->fetch_add(1);
      journal.appChanged(owner.bundleID);
    };
    if (path.compare(0, kFolder.size(), kFolder) == 0) {
      std::string name =
          path.substr(kFolder.size(), path.find('/', kFolder.size()) - kFolder.size());
      auto it = owners->find(name);
      if (it != owners->end()) mark(it->second);
    } else if (kFolder.compare(0, path.size() + 1, path + "/") == 0) {
      for (const auto& [name, owner] : *owners) mark(owner);  // a folder above them all
    }
  });
}

void HomeScreen::addFolder(const std::string& name) {
  requireNotBooted("folder");
  icons_.push_back({IconEntry::Kind::Folder, name, Strong()});
}

void HomeScreen::addWidget(const std::string& identifier) {
  requireNotBooted("widget");
  icons_.push_back({IconEntry::Kind::Widget, identifier, Strong()});
}

void HomeScreen::setWallpaperColor(const std::string& hex) {
  wallpaperColor_ = hex;
  wallpaperImage_.clear();
  recomputeWallpaper();
}

void HomeScreen::setWallpaperImage(const std::string& pngPath) {
  wallpaperImage_ = pngPath;
  recomputeWallpaper();
}

// A new wallpaper has its average colour computed again, as the host does.
void HomeScreen::recomputeWallpaper() {
  if (!wallpaperView_) return;
  AutoreleasePool pool;
  msgSend<id>(wallpaperView_.get(), SELECTOR("_computeAverageColor"));
}

// Through the host's file layer, so that links resolve inside the device root as the device
// sees them and nothing is written outside it.
void HomeScreen::writeFile(const std::string& devicePath, const std::string& content) {
  size_t slash = devicePath.find_last_of('/');
  std::string folder = slash == std::string::npos ? "/" : devicePath.substr(0, slash);
  if (!folder.empty() && !createDeviceDirectory(folder, true)) {
    throw ScenarioError{"file: cannot create the folder " + folder + ": " + std::strerror(errno)};
  }
  if (!writeDeviceFile(devicePath, content, true)) {
    throw ScenarioError{"file: cannot write " + devicePath + ": " + std::strerror(errno)};
  }
}

void HomeScreen::boot(const std::string& libraryPath) {
  requireNotBooted("boot");
  if (root_.empty()) throw ScenarioError{"boot: no device root"};
  family_ = familyForVersion(version_);
  hostClasses_ = hostClassesForVersion(version_);
  setSystemVersion(version_);
  registerUIKit();
  registerHomeScreenClasses(family_, hostClasses_, quirks_);
  for (const std::string& name : quirks_.missingClasses) runtime::removeClassName(name.c_str());
  for (const std::string& image : quirks_.missingImages) runtime::markSystemImageMissing(image);
  for (const std::string& image : quirks_.homeScreenImages) runtime::loadSystemImage(image);
  prepareDeviceFiles(*this);
  watchContainers();
  menu_ = hostClasses_ >= 15       ? makeMenuPresenter15()
          : family_ == Family::V14 ? makeMenuPresenter14()
          : family_ == Family::V13 ? makeMenuPresenter13()
                                   : makeMenuPresenter12();

  // The substrate loads the library before the host creates its objects. One it cannot load
  // is logged and left out, and the home screen goes on without it.
  if (!libraryPath.empty()) {
    std::string error;
    if (loadLibrary(libraryPath, {version_, cpu_}, &error)) {
      libraryLoaded_ = true;
    } else {
      libraryRefusal_ = error;
      appendSystemLog("MS:Error: " + error);
    }
  }
  AutoreleasePool pool;
  springboard_ = Strong::adopt(msgSend<id>(objc_getClass("SpringBoard"), SELECTOR("new")));
  setSharedApplication(springboard_);
  createAppObjects();
  buildKeyWindow();
  msgSend<void>(springboard_.get(), SELECTOR("applicationDidFinishLaunching:"), springboard_.get());
  placeIcons();
  wallpaperView_ = Strong::adopt(
      msgSend<id>(msgSend<id>(objc_getClass(staticWallpaperClass(hostClasses_)), SELECTOR("alloc")),
                  SELECTOR("initWithFrame:"), CGRect{{0, 0}, {390, 844}}));
  msgSend<id>(wallpaperView_.get(), SELECTOR("_computeAverageColor"));
  booted_ = true;
  settle();
}

void HomeScreen::createAppObjects() {
  for (AppState& a : apps_) {
    AutoreleasePool pool;
    id info = makeApplicationInfo(a.setup.bundleID, a.setup.name);
    id object = msgSend<id>(msgSend<id>(objc_getClass("SBApplication"), SELECTOR("alloc")),
                            SELECTOR("initWithApplicationInfo:"), info);
    a.appObject = Strong::adopt(object);
    if (a.setup.badge)
      msgSend<void>(object, SELECTOR("setBadgeValue:"), makeInteger(*a.setup.badge));
    a.iconImage = appIconImage(a.setup.bundleID);
  }
}

// Every icon is placed on the home screen, then laid out.
void HomeScreen::placeIcons() {
  std::vector<IconEntry> placed;
  long slot = 0;
  long long location = 0;
  for (AppState& a : apps_) {
    if (a.uninstalled) continue;
    a.iconView = makeIconView(IconEntry::Kind::App, a.setup.bundleID, a.setup.name);
    placed.push_back({IconEntry::Kind::App, a.setup.bundleID, a.iconView});
  }
  for (const IconEntry& e : icons_) {
    if (e.kind == IconEntry::Kind::App) continue;
    placed.push_back({e.kind, e.identifier, makeIconView(e.kind, e.identifier, e.identifier)});
  }
  icons_ = std::move(placed);
  indexIcons();
  for (IconEntry& e : icons_) {
    AutoreleasePool pool;
    fields<SBIconViewObj>(e.iconView)->gridSlot = slot++;
    // The location's type is the family's: a number before version 13, a name from 13 on.
    if (family_ == Family::V12) {
      msgSend<void>(e.iconView.get(), SELECTOR("setLocation:"), location++);
    } else {
      msgSend<void>(e.iconView.get(), SELECTOR("setLocation:"), makeString("SBIconLocationRoot"));
    }
    refreshBadge(e.iconView);
  }
  layoutIcons();
}

}  // namespace qv::host
