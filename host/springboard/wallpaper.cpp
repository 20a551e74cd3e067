// The static wallpaper view and its average colour.
#include <cairo.h>

#include "runtime/class_builder.h"
#include "springboard/springboard_internal.h"
#include "uikit/colour_text.h"

namespace qv::host {
namespace {

// The mean colour of a PNG's pixels (un-premultiplied), or nothing when it cannot be read.
std::optional<Rgba> averageOfPng(const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return std::nullopt;
  }
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s);
  int h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  double r = 0, g = 0, b = 0;
  long n = 0;
  for (int y = 0; y < h; y++) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; x++) {
      uint32_t px = row[x];
      double a = ((px >> 24) & 0xff) / 255.0;
      if (a > 0) {
        r += ((px >> 16) & 0xff) / 255.0 / a;
        g += ((px >> 8) & 0xff) / 255.0 / a;
        b += (px & 0xff) / 255.0 / a;
      }
      n++;
    }
  }
  cairo_surface_destroy(s);
  if (!n) return std::nullopt;
  return Rgba{r / static_cast<double>(n), g / static_cast<double>(n), b / static_cast<double>(n),
              1};
}

id wallpaperComputeAverageColor(id self, SEL) {
  fields<WallpaperViewObj>(self)->computations++;
  HomeScreen& home = HomeScreen::shared();
  std::optional<Rgba> c;
  if (!home.wallpaperImage().empty()) c = averageOfPng(home.wallpaperImage());
  if (!c) c = parseColourText(home.wallpaperColorHex());
  if (!c) c = Rgba{0, 0, 0, 1};
  return makeColor(c->red, c->green, c->blue, 1.0);
}

}  // namespace

const char* staticWallpaperClass(int hostClasses) {
  return hostClasses >= 16 ? "PBUIStaticWallpaperView" : "SBFStaticWallpaperView";
}

// From 16 the wallpaper views are PaperBoardUI's; SpringBoardFoundation keeps an empty
// SBFWallpaperView, and no static one.
void registerWallpaperClasses(int hostClasses) {
  if (hostClasses >= 16) {
    ClassBuilder<WallpaperViewObj>("PBUIWallpaperView", "UIView");
    ClassBuilder<WallpaperViewObj>("SBFWallpaperView", "PBUIWallpaperView");
    ClassBuilder<WallpaperViewObj>("PBUIStaticWallpaperView", "PBUIWallpaperView")
        .method("_computeAverageColor", wallpaperComputeAverageColor);
    return;
  }
  ClassBuilder<WallpaperViewObj>("SBFWallpaperView", "UIView");
  ClassBuilder<WallpaperViewObj>("SBFStaticWallpaperView", "SBFWallpaperView")
      .method("_computeAverageColor", wallpaperComputeAverageColor);
}

}  // namespace qv::host
