// Blur: the layer filter the library sets on switcher cards and pages, and the host's
// backdrops behind menus and the switcher.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render/render_internal.h"

namespace qv::host::render {

namespace {

// A filter's inputRadius (in points on the device) as the radius of the picture's blur.
constexpr double kFilterRadiusScale = 0.4;
constexpr double kDefaultFilterRadius = 10;  // a gaussianBlur filter given no radius
constexpr int kMaxRadiusPixels = 400;

// One box-blur pass over `n` pixels `step` apart, each channel the mean of 2r+1 neighbours.
void blurRun(uint32_t* px, int n, ptrdiff_t step, int r, std::vector<uint32_t>& line) {
  line.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; i++) line[static_cast<size_t>(i)] = px[i * step];
  auto at = [&](int i) { return line[static_cast<size_t>(std::clamp(i, 0, n - 1))]; };
  const uint32_t div = static_cast<uint32_t>(2 * r + 1);
  uint32_t sum[4] = {0, 0, 0, 0};
  auto add = [&](uint32_t p, bool remove) {
    for (int c = 0; c < 4; c++) {
      uint32_t v = (p >> (8 * c)) & 0xff;
      sum[c] = remove ? sum[c] - v : sum[c] + v;
    }
  };
  for (int k = -r; k <= r; k++) add(at(k), false);
  for (int i = 0; i < n; i++) {
    uint32_t out = 0;
    for (int c = 0; c < 4; c++) out |= ((sum[c] + div / 2) / div) << (8 * c);
    px[i * step] = out;
    add(at(i - r), true);
    add(at(i + r + 1), false);
  }
}

}  // namespace

void boxBlur(cairo_surface_t* surface, int radius) {
  radius = std::min(radius, kMaxRadiusPixels);
  if (radius <= 0 || cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) return;
  cairo_surface_flush(surface);
  int w = cairo_image_surface_get_width(surface);
  int h = cairo_image_surface_get_height(surface);
  ptrdiff_t stride = cairo_image_surface_get_stride(surface) / 4;
  auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
  if (!data || w <= 0 || h <= 0) return;
  std::vector<uint32_t> line;
  // Three passes each way come close to a Gaussian.
  for (int pass = 0; pass < 3; pass++) {
    for (int y = 0; y < h; y++) blurRun(data + y * stride, w, 1, radius, line);
  }
  for (int pass = 0; pass < 3; pass++) {
    for (int x = 0; x < w; x++) blurRun(data + x, h, stride, radius, line);
  }
  cairo_surface_mark_dirty(surface);
}

double gaussianBlurRadius(id view) {
  CALayerObj* layer = layerOf(view);
  if (!layer) return 0;
  double radius = 0;
  for (id f : arrayItems(layer->filters)) {
    if (!isKind(f, objc_getClass("CAFilter")) || fields<CAFilterObj>(f)->name != "gaussianBlur") {
      continue;
    }
    id value = msgSend<id>(fields<CAFilterObj>(f)->values.get(), SELECTOR("objectForKey:"),
                           makeString("inputRadius"));
    double r = kDefaultFilterRadius;
    if (isNumber(value)) {
      auto* n = fields<NSNumberObj>(value);
      r = n->kind == NSNumberObj::Kind::Real ? n->real : static_cast<double>(n->integer);
    }
    if (std::isfinite(r) && r > radius) radius = r;
  }
  return radius;
}

void drawFilteredView(cairo_t* cr, id view, const Box& box, double radius, double scale,
                      const std::function<void(cairo_t*, const Box&)>& content) {
  if (!shown(view) || box.empty()) return;
  Layer layer(box.width, box.height);
  content(layer.cr(), Box{0, 0, box.width, box.height});
  double blur = gaussianBlurRadius(view) * kFilterRadiusScale * scale * kPictureScale;
  boxBlur(layer.surface(), static_cast<int>(std::lround(std::min(blur, 1e6))));
  cairo_save(cr);
  roundedRect(cr, box, radius);
  cairo_clip(cr);
  paintLayer(cr, layer, box.x, box.y, alphaOf(view));
  cairo_restore(cr);
}

void drawBackdrop(cairo_t* cr, const Layer& home, double blurPoints, const Rgba& tint,
                  double tintAlpha) {
  Layer copy(kScreenWidth, kScreenHeight);
  paintLayer(copy.cr(), home, 0, 0);
  if (std::isfinite(blurPoints) && blurPoints > 0) {
    boxBlur(copy.surface(),
            static_cast<int>(std::lround(std::min(blurPoints, 1e4) * kPictureScale)));
  }
  paintLayer(cr, copy, 0, 0);
  fillRounded(cr, Box{0, 0, kScreenWidth, kScreenHeight}, 0, tint, tintAlpha);
}

}  // namespace qv::host::render
