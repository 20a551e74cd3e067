// Core Graphics bitmap contexts over a caller's buffer: 8-bit RGBA, premultiplied alpha last.
#include <cmath>
#include <cstring>

#include "uikit/image_internal.h"

// A context remembers the caller's buffer; drawing goes through a cairo surface of the same
// pixels and is copied back in the caller's byte order.
struct CGContext {
  uint8_t* data;
  size_t width, height, bytesPerRow;
};

namespace {

constexpr size_t kMaxSide = 16384;

// Native-endian premultiplied ARGB words <-> bytes R, G, B, A.
void bufferToSurface(const CGContext* c, cairo_surface_t* s) {
  cairo_surface_flush(s);
  uint8_t* dst = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (size_t y = 0; y < c->height; y++) {
    const uint8_t* src = c->data + y * c->bytesPerRow;
    auto* row = reinterpret_cast<uint32_t*>(dst + static_cast<ptrdiff_t>(y) * stride);
    for (size_t x = 0; x < c->width; x++) {
      const uint8_t* p = src + 4 * x;
      row[x] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
               static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
  }
  cairo_surface_mark_dirty(s);
}

void surfaceToBuffer(cairo_surface_t* s, CGContext* c) {
  cairo_surface_flush(s);
  const uint8_t* src = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (size_t y = 0; y < c->height; y++) {
    uint8_t* dst = c->data + y * c->bytesPerRow;
    const auto* row = reinterpret_cast<const uint32_t*>(src + static_cast<ptrdiff_t>(y) * stride);
    for (size_t x = 0; x < c->width; x++) {
      uint32_t px = row[x];
      uint8_t* p = dst + 4 * x;
      p[0] = (px >> 16) & 0xff;
      p[1] = (px >> 8) & 0xff;
      p[2] = px & 0xff;
      p[3] = px >> 24;
    }
  }
}

// The common case: an image drawn at its own size over the whole context, composited over
// what the buffer holds in one pass (source over destination, premultiplied).
bool drawUnscaled(CGContext* c, CGRect rect, cairo_surface_t* image) {
  int w = cairo_image_surface_get_width(image);
  int h = cairo_image_surface_get_height(image);
  if (rect.origin.x != 0 || rect.origin.y != 0 || rect.size.width != w || rect.size.height != h ||
      static_cast<size_t>(w) != c->width || static_cast<size_t>(h) != c->height) {
    return false;
  }
  cairo_surface_flush(image);
  const uint8_t* src = cairo_image_surface_get_data(image);
  int stride = cairo_image_surface_get_stride(image);
  // Locals, so that stores into the buffer cannot be taken to change them.
  const size_t width = c->width, height = c->height, bytesPerRow = c->bytesPerRow;
  uint8_t* const data = c->data;
  for (size_t y = 0; y < height; y++) {
    uint8_t* dst = data + y * bytesPerRow;  // rows need not be 4-byte aligned
    const auto* row = reinterpret_cast<const uint32_t*>(src + static_cast<ptrdiff_t>(y) * stride);
    // Most rows are drawn into an empty buffer: a straight copy then.
    uint32_t any = 0;
    for (size_t x = 0; x < width * 4; x++) any |= dst[x];
    if (any == 0) {
      for (size_t x = 0; x < width; x++) {
        uint32_t px = row[x];
        uint32_t s = (px & 0xFF00FF00u) | ((px >> 16) & 0xFFu) | ((px & 0xFFu) << 16);
        std::memcpy(dst + 4 * x, &s, 4);
      }
      continue;
    }
    for (size_t x = 0; x < width; x++) {
      // ARGB words to R, G, B, A bytes: swap the red and blue lanes.
      uint32_t px = row[x];
      uint32_t s = (px & 0xFF00FF00u) | ((px >> 16) & 0xFFu) | ((px & 0xFFu) << 16);
      uint32_t d;
      std::memcpy(&d, dst + 4 * x, 4);
      // Source over: d * (255 - alpha) / 255 two lanes at a time, rounded.
      uint32_t keep = 255u - (s >> 24);
      uint32_t rb = (d & 0x00FF00FFu) * keep + 0x00800080u;
      rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
      uint32_t ga = ((d >> 8) & 0x00FF00FFu) * keep + 0x00800080u;
      ga = (ga + ((ga >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
      uint32_t out = s + (rb | ga);
      std::memcpy(dst + 4 * x, &out, 4);
    }
  }
  return true;
}

}  // namespace

extern "C" {

CGColorSpaceRef CGImageGetColorSpace(CGImageRef image) { return image ? image->space : nullptr; }

// Only the RGB layout above is supported; any other (a grey or an indexed colour space, as a
// palette image has) is refused with NULL, as Core Graphics refuses an unsupported format.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, CGBitmapInfo info) {
  if (!data || !space || space->model != CGColorSpace::Model::RGB) return nullptr;
  if (bitsPerComponent != 8 || info != kCGImageAlphaPremultipliedLast) return nullptr;
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  if (bytesPerRow < width * 4) return nullptr;
  return new CGContext{static_cast<uint8_t*>(data), width, height, bytesPerRow};
}

void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image) {
  if (!c || !image || !image->surface) return;
  if (!std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y) ||
      !std::isfinite(rect.size.width) || !std::isfinite(rect.size.height) || rect.size.width <= 0 ||
      rect.size.height <= 0) {
    return;
  }
  if (drawUnscaled(c, rect, image->surface)) return;
  int iw = cairo_image_surface_get_width(image->surface);
  int ih = cairo_image_surface_get_height(image->surface);
  if (iw <= 0 || ih <= 0) return;
  cairo_surface_t* target = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(c->width), static_cast<int>(c->height));
  bufferToSurface(c, target);
  cairo_t* cr = cairo_create(target);
  // Core Graphics puts the origin at the bottom left.
  double top = static_cast<double>(c->height) - rect.origin.y - rect.size.height;
  cairo_translate(cr, rect.origin.x, top);
  cairo_scale(cr, rect.size.width / iw, rect.size.height / ih);
  // The image fills the rectangle to its edges, which do not fade into transparency.
  cairo_set_source_surface(cr, image->surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_rectangle(cr, 0, 0, iw, ih);
  cairo_fill(cr);
  cairo_destroy(cr);
  surfaceToBuffer(target, c);
  cairo_surface_destroy(target);
}

void CGContextRelease(CGContextRef c) { delete c; }

}  // extern "C"
