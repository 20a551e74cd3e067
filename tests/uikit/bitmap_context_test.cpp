// Bitmap contexts over a caller's buffer: RGBA bytes, premultiplied, images scaled into the
// rectangle with the origin at the bottom left.
#include <gtest/gtest.h>

#include <cairo.h>

#include <vector>

#include "support/palette_png.h"
#include "uikit/image_info.h"
#include "uikit/image_internal.h"
#include "uikit/uikit.h"

namespace qv::host {
namespace {

// A w x h image from premultiplied ARGB words, row by row from the top.
id imageFromPixels(int w, int h, const std::vector<uint32_t>& argb) {
  auto bitmap = std::make_shared<CGImage>();
  bitmap->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  bitmap->space = deviceRGBSpace();
  cairo_surface_flush(bitmap->surface);
  uint8_t* data = cairo_image_surface_get_data(bitmap->surface);
  int stride = cairo_image_surface_get_stride(bitmap->surface);
  for (int y = 0; y < h; y++) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; x++) row[x] = argb[static_cast<size_t>(y * w + x)];
  }
  cairo_surface_mark_dirty(bitmap->surface);
  return makeImage(bitmap, 1, "");
}

class BitmapContext : public ::testing::Test {
 protected:
  void SetUp() override { registerUIKit(); }
  AutoreleasePool pool;
};

TEST_F(BitmapContext, UnscaledDrawingCopiesPremultipliedBytesInRgbaOrder) {
  // Opaque red, and half-transparent green (premultiplied: 0x80 green at alpha 0x80).
  id image = imageFromPixels(2, 1, {0xFFFF0000u, 0x80008000u});
  CGImageRef cg = msgSend<CGImageRef>(image, SELECTOR("CGImage"));
  std::vector<uint8_t> buffer(8, 0);
  CGContextRef c = CGBitmapContextCreate(buffer.data(), 2, 1, 8, 8, CGImageGetColorSpace(cg),
                                         kCGImageAlphaPremultipliedLast);
  ASSERT_NE(c, nullptr);
  CGContextDrawImage(c, CGRectMake(0, 0, 2, 1), cg);
  CGContextRelease(c);
  EXPECT_EQ(buffer, (std::vector<uint8_t>{255, 0, 0, 255, 0, 128, 0, 128}));
}

TEST_F(BitmapContext, DrawingCompositesOverWhatTheBufferHolds) {
  // Half-transparent green (premultiplied) over opaque white, and opaque red over blue.
  id image = imageFromPixels(2, 1, {0x80008000u, 0xFFFF0000u});
  CGImageRef cg = msgSend<CGImageRef>(image, SELECTOR("CGImage"));
  std::vector<uint8_t> buffer = {255, 255, 255, 255, 0, 0, 255, 255};
  CGContextRef c = CGBitmapContextCreate(buffer.data(), 2, 1, 8, 8, CGImageGetColorSpace(cg),
                                         kCGImageAlphaPremultipliedLast);
  ASSERT_NE(c, nullptr);
  CGContextDrawImage(c, CGRectMake(0, 0, 2, 1), cg);
  CGContextRelease(c);
  // 255 * (255 - 128) / 255 = 127 kept of white under the green.
  EXPECT_EQ(buffer, (std::vector<uint8_t>{127, 255, 127, 255, 255, 0, 0, 255}));
}

TEST_F(BitmapContext, ImagesAreScaledIntoTheRectangleFromTheBottomLeft) {
  id image = imageFromPixels(1, 1, {0xFF0000FFu});  // opaque blue
  CGImageRef cg = msgSend<CGImageRef>(image, SELECTOR("CGImage"));
  std::vector<uint8_t> buffer(4 * 4 * 4, 0);
  CGContextRef c = CGBitmapContextCreate(buffer.data(), 4, 4, 8, 16, CGImageGetColorSpace(cg),
                                         kCGImageAlphaPremultipliedLast);
  ASSERT_NE(c, nullptr);
  CGContextDrawImage(c, CGRectMake(0, 0, 4, 2), cg);  // the lower half
  CGContextRelease(c);
  auto alphaAt = [&](int x, int y) { return buffer[static_cast<size_t>(y * 16 + x * 4 + 3)]; };
  EXPECT_EQ(alphaAt(1, 0), 0);                              // top rows stay empty
  EXPECT_EQ(alphaAt(1, 3), 255);                            // bottom rows are painted
  EXPECT_EQ(buffer[static_cast<size_t>(3 * 16 + 2)], 255);  // blue
}

TEST_F(BitmapContext, RefusesParametersWithoutAnEightBitRgbaLayout) {
  std::vector<uint8_t> buffer(64, 0);
  EXPECT_EQ(CGBitmapContextCreate(buffer.data(), 2, 2, 8, 8, deviceGraySpace(),
                                  kCGImageAlphaPremultipliedLast),
            nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buffer.data(), 2, 2, 16, 16, deviceRGBSpace(),
                                  kCGImageAlphaPremultipliedLast),
            nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buffer.data(), 2, 2, 8, 4, deviceRGBSpace(),
                                  kCGImageAlphaPremultipliedLast),
            nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buffer.data(), 0, 2, 8, 0, deviceRGBSpace(),
                                  kCGImageAlphaPremultipliedLast),
            nullptr);
  EXPECT_EQ(CGBitmapContextCreate(buffer.data(), 2, 2, 8, 8, deviceRGBSpace(), 2), nullptr);
  EXPECT_EQ(
      CGBitmapContextCreate(nullptr, 2, 2, 8, 8, deviceRGBSpace(), kCGImageAlphaPremultipliedLast),
      nullptr);
}

TEST_F(BitmapContext, PngFilesKeepTheirColourSpaceAndMissingFilesGiveNil) {
  char tmpl[] = "/tmp/quorvel-png-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string gray = std::string(tmpl) + "/gray.png";
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 3, 3);
  ASSERT_EQ(cairo_surface_write_to_png(s, gray.c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(s);
  id image = imageFromPngFile(gray);
  ASSERT_NE(image, nil);
  CGImageRef cg = msgSend<CGImageRef>(image, SELECTOR("CGImage"));
  EXPECT_EQ(CGImageGetColorSpace(cg), deviceGraySpace());
  EXPECT_EQ(imageFromPngFile(std::string(tmpl) + "/missing.png"), nil);
  std::remove(gray.c_str());
  rmdir(tmpl);
}

// A palette image's pixels are decoded for drawing, but its colour space is indexed, and no
// bitmap context is made in an indexed space.
TEST_F(BitmapContext, APaletteImageHasAnIndexedColourSpaceThatContextsRefuse) {
  char tmpl[] = "/tmp/quorvel-png-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string palette = std::string(tmpl) + "/palette.png";
  ASSERT_TRUE(qv::testing::writePalettePng(palette, 4, 3, 200, 40, 10));
  id image = imageFromPngFile(palette);
  ASSERT_NE(image, nil);
  CGSize size = msgSend<CGSize>(image, SELECTOR("size"));
  EXPECT_EQ(size.width, 4);
  EXPECT_EQ(size.height, 3);
  CGImageRef cg = msgSend<CGImageRef>(image, SELECTOR("CGImage"));
  EXPECT_EQ(CGImageGetColorSpace(cg), indexedRGBSpace());
  std::vector<uint8_t> buffer(4 * 3 * 4, 0);
  EXPECT_EQ(CGBitmapContextCreate(buffer.data(), 4, 3, 8, 16, CGImageGetColorSpace(cg),
                                  kCGImageAlphaPremultipliedLast),
            nullptr);
  // The pixels themselves are the palette's colour.
  uint32_t first =
      *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(imageSurface(image)));
  EXPECT_EQ(first, 0xFFC8280Au);
  std::remove(palette.c_str());
  rmdir(tmpl);
}

}  // namespace
}  // namespace qv::host
