#include "appearance/average_color.h"

#include <cstdint>

#include "platform/libc.h"
#include "platform/uikit.h"
#include "settings/settings_cache.h"

namespace quorvel {

namespace {

// A buffer larger than this is not allocated: such an image averages to black, as a failed
// allocation does.
constexpr double kMaxBufferBytes = 64.0 * 1024 * 1024;

struct Averages {
  uint64_t red = 0, green = 0, blue = 0;
};

Averages averagePixels(const UI::Image& image) {
  Averages avg;
  CGSize size = image.size();
  double w = size.width;
  double h = size.height;
  double bufferBytes = w * h * 4.0;
  if (!qv::isFinite(w) || !qv::isFinite(h) || w < 0 || h < 0 || !qv::isFinite(bufferBytes) ||
      bufferBytes > kMaxBufferBytes) {
    return avg;
  }
  auto* buffer = static_cast<uint8_t*>(calloc(static_cast<size_t>(bufferBytes), 1));
  if (!buffer) return avg;
  CGImageRef bitmap = image.CGImage();
  CGContextRef context = CGBitmapContextCreate(
      buffer, static_cast<size_t>(w), static_cast<size_t>(h), 8, static_cast<size_t>(w * 4.0),
      CGImageGetColorSpace(bitmap), kCGImageAlphaPremultipliedLast);
  if (!context) {
    free(buffer);
    return avg;
  }
  CGContextDrawImage(context, CGRectMake(0, 0, w, h), bitmap);
  auto n = static_cast<uint64_t>(w * h);
  uint64_t red = 0, green = 0, blue = 0;
  for (uint64_t i = 0; i < n; i++) {
    red += buffer[4 * i];
    green += buffer[4 * i + 1];
    blue += buffer[4 * i + 2];
  }
  CGContextRelease(context);
  if (n) {
    avg.red = red / n;
    avg.green = green / n;
    avg.blue = blue / n;
  }
  free(buffer);
  return avg;
}

// Single-precision division, widened afterwards.
double component(uint64_t average) {
  return static_cast<double>(static_cast<float>(average) / 255.0f);
}

}  // namespace

id averageColorOfImage(id, SEL, id image) {
  Averages avg = averagePixels(UI::Image(image));
  return UI::Color::colorWithRGBA(component(avg.red), component(avg.green), component(avg.blue),
                                  static_cast<double>(settings.menuColorAlpha));
}

}  // namespace quorvel
