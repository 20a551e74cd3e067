#include "springboard/home_setup.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "foundation/device_root.h"
#include "runtime/class_builder.h"
#include "springboard/springboard_internal.h"
#include "uikit/device_state.h"

namespace qv::host {

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& file, const std::string& text) {
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// A container as apps leave it: caches and temporary files next to documents and settings.
void fillContainer(const std::string& devicePath) {
  fs::path root = realPath(devicePath);
  writeText(root / "Documents/notes.txt", "keep me\n");
  writeText(root / "Library/Preferences/app.plist", "<plist/>\n");
  writeText(root / "Library/Caches/images/thumb-1.bin", "cached\n");
  writeText(root / "Library/Caches/images/deeper/thumb-2.bin", "cached\n");
  writeText(root / "Library/Caches/http.db", "cached\n");
  writeText(root / "Library/Application Support/Dropbox/sync/state.db", "sync\n");
  writeText(root / "Library/Application Support/Dropbox/token", "token\n");
  writeText(root / "Library/Application Support/Other/data.db", "other\n");
  writeText(root / "tmp/upload.part", "partial\n");
  writeText(root / "tmp/session/cookie", "temp\n");
}

}  // namespace

std::string containerPathFor(const std::string& bundleID) {
  // A stable UUID-shaped folder name per app, as the system's are per installation.
  uint64_t h1 = 1469598103934665603ull, h2 = 1099511628211ull;
  for (unsigned char c : bundleID) {
    h1 = (h1 ^ c) * 1099511628211ull;
    h2 = (h2 + c) * 6364136223846793005ull + 1442695040888963407ull;
  }
  char uuid[40];
  std::snprintf(
      uuid, sizeof uuid, "%08llX-%04llX-%04llX-%04llX-%012llX",
      static_cast<unsigned long long>(h1 >> 32), static_cast<unsigned long long>(h1 >> 16) & 0xffff,
      static_cast<unsigned long long>(h1) & 0xffff, static_cast<unsigned long long>(h2 >> 48),
      static_cast<unsigned long long>(h2) & 0xffffffffffffull);
  return std::string("/var/mobile/Containers/Data/Application/") + uuid;
}

void registerHomeScreenClasses(Family family, int hostClasses, const HostQuirks& quirks) {
  registerSpringBoardClasses(family, hostClasses, quirks);
  registerSwitcherClasses(family, hostClasses, quirks);
  registerSystemServices(family);
  registerWallpaperClasses(hostClasses);
  registerAppIconImages();
  // The style arbiter came with version 13's dark mode.
  if (quirks.styleArbiter && family != Family::V12) registerStyleArbiter();
  switch (family) {
    case Family::V14:
      if (hostClasses >= 15) {
        registerMenuClasses15();
      } else {
        registerMenuClasses14();
      }
      break;
    case Family::V13:
      registerMenuClasses13(quirks);
      break;
    case Family::V12:
      registerMenuClasses12(quirks);
      break;
  }
}

void prepareDeviceFiles(HomeScreen& home) {
  for (const AppState& a : home.apps()) {
    if (!a.setup.container) continue;
    AppState* state = home.app(a.setup.bundleID);
    state->containerPath = containerPathFor(a.setup.bundleID);
    if (!fs::exists(realPath(state->containerPath))) fillContainer(state->containerPath);
  }
  installResources();
}

Strong HomeScreen::makeIconView(IconEntry::Kind kind, const std::string& identifier,
                                const std::string& name) {
  const char* iconClass = kind == IconEntry::Kind::App      ? "SBApplicationIcon"
                          : kind == IconEntry::Kind::Folder ? "SBFolderIcon"
                                                            : "SBWidgetIcon";
  Strong icon = Strong::adopt(msgSend<id>(objc_getClass(iconClass), SELECTOR("new")));
  fields<SBIconObj>(icon)->identifier = makeString(identifier);
  fields<SBIconObj>(icon)->displayName = makeString(name);
  Strong view =
      Strong::adopt(msgSend<id>(msgSend<id>(objc_getClass("SBIconView"), SELECTOR("alloc")),
                                SELECTOR("initWithFrame:"), CGRect{{0, 0}, {60, 74}}));
  auto* f = fields<SBIconViewObj>(view);
  f->icon = icon;
  f->labelView = newLabelView(name);
  f->imageView = Strong::adopt(msgSend<id>(objc_getClass("UIImageView"), SELECTOR("new")));
  if (kind == IconEntry::Kind::App) {
    msgSend<void>(f->imageView.get(), SELECTOR("setImage:"), appIconImage(identifier));
  }
  addSubview(view, f->imageView);
  addSubview(view, f->labelView);
  return view;
}

void HomeScreen::buildKeyWindow() {
  keyWindow_ = Strong::adopt(msgSend<id>(msgSend<id>(objc_getClass("UIWindow"), SELECTOR("alloc")),
                                         SELECTOR("initWithFrame:"), CGRect{{0, 0}, {390, 844}}));
  rootController_ =
      Strong::adopt(msgSend<id>(objc_getClass("SBHomeScreenViewController"), SELECTOR("new")));
  msgSend<void>(keyWindow_.get(), SELECTOR("setRootViewController:"), rootController_.get());
  msgSend<void>(keyWindow_.get(), SELECTOR("makeKeyAndVisible"));
}

}  // namespace qv::host
