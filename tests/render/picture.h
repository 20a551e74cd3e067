// Rendering a scenario's screen into a temporary folder and reading the pixels back.
#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "render/renderer.h"
#include "support/scenario.h"

namespace qv::testing {

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// A PNG read back with cairo; coordinates in points.
class Picture {
 public:
  explicit Picture(const std::string& path)
      : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Picture() { cairo_surface_destroy(surface_); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface_); }
  int height() const { return cairo_image_surface_get_height(surface_); }

  // The pixel at picture pixel (px, py).
  Rgb pixelAt(int px, int py) const {
    cairo_surface_flush(surface_);
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + py * cairo_image_surface_get_stride(surface_);
    uint32_t v = reinterpret_cast<const uint32_t*>(row)[px];
    return {static_cast<int>((v >> 16) & 0xff), static_cast<int>((v >> 8) & 0xff),
            static_cast<int>(v & 0xff)};
  }
  // The pixel under a point.
  Rgb at(double x, double y) const {
    return pixelAt(static_cast<int>(x * host::kPictureScale),
                   static_cast<int>(y * host::kPictureScale));
  }
  // The pixels of a box (in picture pixels), row by row.
  template <typename F>
  void forEachPixel(const host::Box& box, F f) const {
    int x0 = static_cast<int>(std::ceil(box.x * host::kPictureScale));
    int y0 = static_cast<int>(std::ceil(box.y * host::kPictureScale));
    int x1 = static_cast<int>(box.right() * host::kPictureScale);
    int y1 = static_cast<int>(box.bottom() * host::kPictureScale);
    for (int y = std::max(y0, 0); y < std::min(y1, height()); y++) {
      for (int x = std::max(x0, 0); x < std::min(x1, width()); x++) f(x, y, pixelAt(x, y));
    }
  }

 private:
  cairo_surface_t* surface_;
};

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A scenario whose pictures go into a folder of their own.
class RenderScenario : public Scenario {
 protected:
  void addApp(const std::string& bundleID, const std::string& color,
              std::optional<long> badge = {}) {
    AppSetup setup;
    setup.bundleID = bundleID;
    setup.iconColor = color;
    setup.badge = badge;
    home().addApp(setup);
  }
  void lock(std::initializer_list<const char*> apps) {
    writeSettings({{"lockedApps", list(apps)}});
  }

  // Renders the screen; the file's path, and where things went in `layout_`.
  std::string render(const std::string& name = "screen.png") {
    std::string path = root_ + "/" + name;
    std::string error;
    EXPECT_TRUE(host::renderScreen(home(), path, &error, &layout_)) << error;
    return path;
  }

  host::Box layoutBox(const std::vector<std::pair<std::string, host::Box>>& list,
                      const std::string& key) {
    for (const auto& [k, box] : list) {
      if (k == key) return box;
    }
    ADD_FAILURE() << "nothing drawn for " << key;
    return {};
  }

  host::RenderedLayout layout_;
};

// `over` laid at `alpha` over `under`, per channel (0-255).
inline Rgb blend(const Rgb& over, double alpha, const Rgb& under) {
  auto mix = [&](int a, int b) {
    return static_cast<int>(std::lround(a * alpha + b * (1 - alpha)));
  };
  return {mix(over.r, under.r), mix(over.g, under.g), mix(over.b, under.b)};
}

inline bool near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "rgb(" << c.r << ", " << c.g << ", " << c.b << ")";
}

}  // namespace qv::testing
