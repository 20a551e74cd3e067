// quorvel-icons: draws the menu item icons the library shows, as 58x58 PNG files (29 points at
// 2x), black on transparent so they can be tinted; and into the folder's pane/ the settings
// pane's icon, Quorvel.png, Quorvel@2x.png and Quorvel@3x.png (29 points at each scale).
//
// To redraw them after changing a glyph, build and run it into the resources folder:
//
//   cmake --build build/release --target quorvel-icons
//   build/release/tools/quorvel-icons resources
//
// and commit the PNG files. The output is the same bytes on every run; the resources test checks
// that the committed files match it.
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "glyphs.h"
#include "icon_file.h"
#include "pane_icon.h"

namespace {

using namespace qv::icons;

struct Icon {
  const char* file;
  Glyph glyph;
  bool round;  // drawn for the newer context menus
};

constexpr Icon kIcons[] = {
    {"copy.png", drawCopy, false},
    {"cloud.png", drawCloudDown, false},
    {"trash.png", drawTrash, false},
    {"clearcache.png", drawClearCache, false},
    {"clearcache13.png", drawClearCache, true},
    {"badge.png", drawBadgeClear, false},
    {"badge13.png", drawBadgeClear, true},
    {"lock.png", drawLock, false},
    {"lock13.png", drawLock, true},
    {"unlock.png", drawUnlock, false},
    {"unlock13.png", drawUnlock, true},
    {"notification.png", drawBell, false},
    {"notification13.png", drawBell, true},
    {"notificationoff.png", drawBellOff, false},
    {"notificationoff13.png", drawBellOff, true},
    {"banner.png", drawBanner, false},
    {"banner13.png", drawBanner, true},
    {"banneroff.png", drawBannerOff, false},
    {"banneroff13.png", drawBannerOff, true},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!std::filesystem::is_directory(dir)) {
    std::fprintf(stderr, "%s: cannot use %s as the output folder\n", argv[0], argv[1]);
    return 1;
  }
  int failures = 0;
  for (const Icon& icon : kIcons) {
    std::string error =
        writeIcon(dir / icon.file, icon.glyph, icon.round ? roundPen() : plainPen());
    if (!error.empty()) {
      std::fprintf(stderr, "%s: %s: %s\n", argv[0], icon.file, error.c_str());
      ++failures;
    }
  }
  std::filesystem::path pane = dir / "pane";
  std::filesystem::create_directories(pane, ec);
  for (int scale : kPaneIconScales) {
    std::string error = writePaneIcon(pane / paneIconName(scale), scale);
    if (!error.empty()) {
      std::fprintf(stderr, "%s: pane/%s: %s\n", argv[0], paneIconName(scale).c_str(),
                   error.c_str());
      ++failures;
    }
  }
  // Leaves nothing behind for leak checkers.
  cairo_debug_reset_static_data();
  return failures == 0 ? 0 : 1;
}
