// The simulated home-screen process: the device it runs on, the host classes of its OS
// family, the library loaded into it, and what a user does with it.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/object_refs.h"
#include "springboard/change_journal.h"
#include "springboard/json.h"
#include "uikit/auth_service.h"

namespace qv::host {

enum class Family { V14, V13, V12 };

// The host family a version string selects (its float value: 14 and up, 13 up to 14, else 12).
Family familyForVersion(const std::string& version);
const char* familyName(Family family);

// Whose host classes the home screen has: 12 to 16, by the version's float value (16 and up,
// 15, 14, 13, else 12). Versions 15 and 16 keep the version-14 family's menus and flow, with
// the classes and methods those releases changed.
int hostClassesForVersion(const std::string& version);

struct AppSetup {
  std::string bundleID;
  std::string name;
  std::optional<long> badge;
  std::string iconColor = "#4a90d9";  // "#RRGGBB", used when no icon file is given
  std::string iconFile;               // a PNG on the real file system
  bool nowPlaying = false;
  bool container = true;
  bool section = true;
  std::vector<std::string> shortcuts;  // the app's own quick actions, by title
};

// Host classes that lack an instance variable the library may read (older or newer builds).
struct HostQuirks {
  bool iconViewAccessoryIvar = true;  // SBIconView _accessoryView
  bool layoutRolesIvar = true;        // SBAppLayout _rolesToLayoutItemsMap
  bool groupBackgroundIvar = true;    // UIInterfaceActionGroupView _backgroundView
  bool effectViewBackdropIvar =
      true;                  // SBUIIconForceTouchVisualEffectView _targetBackdropViewSettings
  bool styleArbiter = true;  // UIUserInterfaceStyleArbiter exists
  // Images the home screen loads itself, before any library (install names): UIKit brings
  // MobileCoreServices; the colour picker is loaded by whoever installed it. A library loads
  // the others it links.
  std::vector<std::string> homeScreenImages = {
      "/System/Library/Frameworks/MobileCoreServices.framework/MobileCoreServices",
      "/var/jb/usr/lib/libsparkcolourpicker.dylib"};
  // Images this device lacks altogether (an older or newer OS, or nothing installed): nobody
  // can load them, and their classes never exist.
  std::vector<std::string> missingImages;
  // Host classes this OS version lacks: the family defines them, the device does not.
  std::vector<std::string> missingClasses;
};

// Per-app state the device keeps outside the host's objects.
struct SectionSettingsState {
  bool present = true;
  bool allowsNotifications = true;
  long alertType = 1;
};

struct SectionState {
  bool exists = true;
  SectionSettingsState info, readable, writable, managed;
};

struct AppState {
  AppSetup setup;
  bool offloaded = false;
  bool uninstalled = false;
  bool running = false;
  long offloadReason = 0;
  std::string containerPath;  // device path, "" without a container
  // Changes the host announced under the data container (on any thread), counted: whoever
  // keeps a listing of the container lists it again only once this has moved.
  std::shared_ptr<std::atomic<unsigned long>> containerChanges =
      std::make_shared<std::atomic<unsigned long>>(0);
  SectionState section;
  Strong appObject;  // SBApplication
  Strong iconView;   // SBIconView on the home screen
  Strong iconImage;  // the decoded icon the host keeps in memory
};

struct IconEntry {
  enum class Kind { App, Folder, Widget } kind;
  std::string identifier;  // bundle identifier, folder name or widget identifier
  Strong iconView;
};

// A user-visible error in a scenario: unknown app, a pick with no menu open, ...
struct ScenarioError {
  std::string message;
};

class MenuPresenter;

// What fills the screen: the icons, the frontmost app, or the app switcher.
enum class Screen { Home, App, Switcher };

class HomeScreen {
 public:
  // The process's one home screen; created on first use.
  static HomeScreen& shared();

  // ---- before boot ----
  void setDeviceRoot(const std::string& realFolder);
  void setOsVersion(const std::string& version);
  // The device's processor: "arm64" (the default) or "arm64e" (A12 and later), which loads the
  // arm64e slice of a Mach-O library and refuses one without it. Anything else is refused.
  void setCpu(const std::string& cpu);
  void setQuirks(const HostQuirks& quirks);
  void addApp(const AppSetup& setup);
  void addFolder(const std::string& name);
  void addWidget(const std::string& identifier);
  // Also after boot: the host computes the new wallpaper's average colour.
  void setWallpaperColor(const std::string& hex);
  void setWallpaperImage(const std::string& pngPath);
  // Writes KEY into the settings store as the settings program does (also after boot).
  void writeSetting(const std::string& key, Json value);
  void writeStaticColor(const std::string& text);
  void writeFile(const std::string& devicePath, const std::string& content);

  // Loads the library (unless `libraryPath` is empty: the host alone) and finishes launching.
  void boot(const std::string& libraryPath);
  bool booted() const { return booted_; }
  bool libraryLoaded() const { return libraryLoaded_; }
  // Why the library was not loaded at boot (the loader's message); empty when it was.
  const std::string& libraryRefusal() const { return libraryRefusal_; }
  Family family() const { return family_; }
  int hostClasses() const { return hostClasses_; }

  // ---- after boot ----
  void reloadPrefs();
  void reloadColors();
  void press(const std::string& identifier);
  // Chooses an item of the open menu that the user can tap (hidden rows cannot be). With
  // `occurrence` 0 the title must name one such item; with N, the Nth of those with that
  // title, in menu order.
  void pick(const std::string& title, size_t occurrence = 0);
  void tapAlert(const std::string& button);
  void answerAuth(AuthAnswer answer);
  // The app's switcher page asks for authentication again, through the `retryAuth` method the
  // library adds to it (on a device, what the user's tap on the blurred page does).
  void retryAuthentication(const std::string& bundleID);
  void bringToFront(const std::string& bundleID);
  void openSwitcher();
  void searchOpen(const std::string& bundleID);
  void searchOpenActivity(const std::string& bundleID);
  void layoutIcons();
  void post(const std::string& name);
  void setStyle(long style);
  // Runs queued main-thread work (replies, notifications) until nothing more arrives soon.
  void settle();

  // ---- state ----
  AppState* app(const std::string& bundleID);
  const std::vector<AppState>& apps() const { return apps_; }
  const std::vector<IconEntry>& icons() const { return icons_; }
  // The placed icon with that identifier, or null.
  const IconEntry* icon(const std::string& identifier) const;
  // The place of an icon view among icons(), or -1 when it is not one of them.
  long iconPosition(id iconView) const;
  id openMenu() const;
  id alertOnScreen() const;
  std::string frontmostApp() const { return frontmost_; }
  Screen screen() const { return screen_; }
  // What changed since it was last asked (cleared by whoever asks).
  ChangeJournal& journal() { return journal_; }
  // Used by the host classes.
  const HostQuirks& quirks() const { return quirks_; }
  void setFrontmost(const std::string& bundleID);
  void markOffloaded(const std::string& bundleID, long reason);
  void markUninstalled(const std::string& bundleID);
  // The app stops; its page leaves the switcher.
  void quitApp(const std::string& bundleID);
  std::string wallpaperColorHex() const { return wallpaperColor_; }
  std::string wallpaperImage() const { return wallpaperImage_; }
  const std::string& osVersion() const { return version_; }
  const std::string& cpu() const { return cpu_; }
  // Something the host itself did (entered editing, shared an app, launched a shortcut).
  void recordHostEvent(const std::string& event);
  const std::vector<std::string>& hostEvents() const { return hostEvents_; }
  // Forgets them, as a long-running process does to keep its dumps small.
  void clearHostEvents() { hostEvents_.clear(); }
  id rootController() const { return rootController_; }
  MenuPresenter* menu() const { return menu_.get(); }

 private:
  HomeScreen();
  ~HomeScreen();
  void requireBooted(const char* command) const;
  void requireNotBooted(const char* command) const;
  void createAppObjects();
  void buildKeyWindow();
  void placeIcons();
  void noticeAlert();
  void recomputeWallpaper();
  void indexIcons();
  void watchContainers();
  Strong makeIconView(IconEntry::Kind kind, const std::string& identifier, const std::string& name);

  std::string root_;
  std::string version_ = "14.2";
  std::string cpu_ = "arm64";
  Family family_ = Family::V14;
  int hostClasses_ = 14;
  HostQuirks quirks_;
  std::vector<AppState> apps_;
  std::unordered_map<std::string, size_t> appIndex_;  // bundle identifier -> place in apps_
  std::vector<IconEntry> icons_;
  std::unordered_map<std::string, size_t> iconIndex_;  // identifier -> place in icons_
  std::unordered_map<id, size_t> iconViewIndex_;       // icon view -> place in icons_
  std::string wallpaperColor_ = "#203040";
  std::string wallpaperImage_;
  std::string frontmost_;
  Screen screen_ = Screen::Home;
  bool booted_ = false;
  bool libraryLoaded_ = false;
  std::string libraryRefusal_;
  Strong springboard_;
  Strong wallpaperView_;
  Strong keyWindow_;
  Strong rootController_;
  Strong lastAlert_;
  std::unique_ptr<MenuPresenter> menu_;
  std::vector<std::string> hostEvents_;
  ChangeJournal journal_;
};

}  // namespace qv::host
