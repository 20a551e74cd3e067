// Layers, the host's own look, reading views, shapes and images.
#include <cmath>
#include <cstdio>

#include "render/render_internal.h"
#include "uikit/device_state.h"
#include "uikit/image_info.h"

namespace qv::host::render {

namespace {

int pixels(double points) {
  double p = std::ceil(points * kPictureScale);
  return p < 1 ? 1 : p > 16384 ? 16384 : static_cast<int>(p);
}

double clamp01(double v) { return std::isfinite(v) ? (v < 0 ? 0 : v > 1 ? 1 : v) : 0; }

void setSource(cairo_t* cr, const Rgba& c, double alpha) {
  cairo_set_source_rgba(cr, c.red, c.green, c.blue, clamp01(c.alpha * alpha));
}

}  // namespace

Layer::Layer(double width, double height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels(width), pixels(height))),
      cr_(cairo_create(surface_)) {
  cairo_scale(cr_, kPictureScale, kPictureScale);
}

Layer::~Layer() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void paintLayer(cairo_t* cr, const Layer& layer, double x, double y, double alpha) {
  cairo_surface_flush(layer.surface());
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1 / kPictureScale, 1 / kPictureScale);
  cairo_set_source_surface(cr, layer.surface(), 0, 0);
  cairo_paint_with_alpha(cr, clamp01(alpha));
  cairo_restore(cr);
}

Look hostLook() {
  if (interfaceStyle() == 2) {
    return {{1, 1, 1, 1}, {0.92, 0.92, 0.96, 0.6}, {0.17, 0.17, 0.18, 0.82}, {1, 1, 1, 0.16}};
  }
  return {{0, 0, 0, 1}, {0.24, 0.24, 0.26, 0.6}, {0.97, 0.97, 0.98, 0.82}, {0, 0, 0, 0.14}};
}

// ---- reading the host's views ----

bool shown(id view) {
  if (!view || !isKind(view, viewClass())) return false;
  auto* v = fields<UIViewObj>(view);
  return !v->hidden && v->alpha > 0;
}

double alphaOf(id view) {
  if (!view || !isKind(view, viewClass())) return 0;
  return clamp01(fields<UIViewObj>(view)->alpha);
}

Rgba colourOf(id color) { return colorComponents(color); }

bool hasColour(id view) {
  return view && isKind(view, viewClass()) && fields<UIViewObj>(view)->backgroundColor;
}

double cornerRadiusOf(id view, double fallback) {
  CALayerObj* layer = layerOf(view);
  if (!layer || !std::isfinite(layer->cornerRadius) || layer->cornerRadius <= 0) return fallback;
  return std::min(layer->cornerRadius, 200.0);
}

std::string textOf(id string) { return isString(string) ? stdString(string) : std::string(); }

std::string labelText(id label) {
  if (!shown(label) || !isKind(label, objc_getClass("UILabel"))) return "";
  return textOf(fields<UILabelObj>(label)->text);
}

std::string badgeText(id value) {
  if (isString(value)) return stdString(value);
  if (!isNumber(value)) return "";
  auto* n = fields<NSNumberObj>(value);
  if (n->kind != NSNumberObj::Kind::Real) return std::to_string(n->integer);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", n->real);
  return buf;
}

// ---- shapes and images ----

void roundedRect(cairo_t* cr, const Box& b, double radius) {
  double r = std::max(0.0, std::min({radius, b.width / 2, b.height / 2}));
  cairo_new_sub_path(cr);
  cairo_arc(cr, b.x + b.width - r, b.y + r, r, -kPi / 2, 0);
  cairo_arc(cr, b.x + b.width - r, b.y + b.height - r, r, 0, kPi / 2);
  cairo_arc(cr, b.x + r, b.y + b.height - r, r, kPi / 2, kPi);
  cairo_arc(cr, b.x + r, b.y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void fillRounded(cairo_t* cr, const Box& box, double radius, const Rgba& colour, double alpha) {
  roundedRect(cr, box, radius);
  setSource(cr, colour, alpha);
  cairo_fill(cr);
}

void hairline(cairo_t* cr, double x1, double y, double x2, const Rgba& colour) {
  cairo_rectangle(cr, x1, y, x2 - x1, 0.5);
  setSource(cr, colour, 1);
  cairo_fill(cr);
}

void withAlpha(cairo_t* cr, double alpha, const std::function<void()>& fn) {
  cairo_push_group(cr);
  fn();
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, clamp01(alpha));
}

namespace {

// The image's pixels as a pattern stretched over `box`, or null.
cairo_pattern_t* imagePattern(id image, const Box& box) {
  cairo_surface_t* s = imageSurface(image);
  if (!s || box.empty()) return nullptr;
  int w = cairo_image_surface_get_width(s);
  int h = cairo_image_surface_get_height(s);
  if (w <= 0 || h <= 0) return nullptr;
  cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, w / box.width, h / box.height);
  cairo_matrix_translate(&m, -box.x, -box.y);
  cairo_pattern_set_matrix(p, &m);
  cairo_pattern_set_filter(p, CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
  return p;
}

}  // namespace

void drawImage(cairo_t* cr, id image, const Box& box, double alpha) {
  cairo_pattern_t* p = imagePattern(image, box);
  if (!p) return;
  cairo_save(cr);
  cairo_rectangle(cr, box.x, box.y, box.width, box.height);
  cairo_clip(cr);
  cairo_set_source(cr, p);
  cairo_paint_with_alpha(cr, clamp01(alpha));
  cairo_restore(cr);
  cairo_pattern_destroy(p);
}

void drawItemImage(cairo_t* cr, id image, const Box& box, const Rgba& tint, double alpha) {
  if (imageRenderingMode(image) != 2) {
    drawImage(cr, image, box, alpha);
    return;
  }
  cairo_pattern_t* p = imagePattern(image, box);
  if (!p) return;
  cairo_save(cr);
  cairo_rectangle(cr, box.x, box.y, box.width, box.height);
  cairo_clip(cr);
  setSource(cr, tint, alpha);
  cairo_mask(cr, p);
  cairo_restore(cr);
  cairo_pattern_destroy(p);
}

Rgba averageColour(id image) {
  cairo_surface_t* s = imageSurface(image);
  if (!s) return {0.5, 0.5, 0.5, 1};
  cairo_surface_flush(s);
  int w = cairo_image_surface_get_width(s);
  int h = cairo_image_surface_get_height(s);
  int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  double r = 0, g = 0, b = 0, a = 0;
  for (int y = 0; data && y < h; y++) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; x++) {
      uint32_t px = row[x];
      a += (px >> 24) & 0xff;
      r += (px >> 16) & 0xff;
      g += (px >> 8) & 0xff;
      b += px & 0xff;
    }
  }
  if (a <= 0) return {0.5, 0.5, 0.5, 1};
  return {r / a, g / a, b / a, 1};
}

}  // namespace qv::host::render
