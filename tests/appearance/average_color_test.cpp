// The average colour of an image: premultiplied RGBA bytes summed and divided with truncation,
// each component divided by 255 in single precision, alpha from menuColorAlpha.
#include <cairo.h>

#include <cmath>

#include "support/palette_png.h"
#include "support/scenario.h"
#include "uikit/image_info.h"
#include "uikit/image_internal.h"

namespace qv::testing {
namespace {

// A w x h image (at `scale` pixels per point) from premultiplied ARGB words, top row first.
id imageFromPixels(int w, int h, const std::vector<uint32_t>& argb, double scale = 1) {
  auto bitmap = std::make_shared<CGImage>();
  bitmap->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  bitmap->space = host::deviceRGBSpace();
  cairo_surface_flush(bitmap->surface);
  uint8_t* data = cairo_image_surface_get_data(bitmap->surface);
  int stride = cairo_image_surface_get_stride(bitmap->surface);
  for (int y = 0; y < h; y++) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; x++) row[x] = argb[static_cast<size_t>(y * w + x)];
  }
  cairo_surface_mark_dirty(bitmap->surface);
  return host::makeImage(bitmap, scale, "");
}

// The component as the routine computes it: 32-bit division, widened.
double component(int average) { return static_cast<double>(static_cast<float>(average) / 255.0f); }

struct SizeOnly : objc_object {
  CGSize size{};
};

class AverageColor : public Scenario {
 protected:
  void bootWith(float alpha = 0.6f) {
    if (alpha != 0.6f) writeSettings({{"menuColorAlpha", host::makeDouble(alpha)}});
    device("14.2");
    boot();
    styled = Strong::adopt(msgSend<id>(objc_getClass("SBHIconViewContextMenuWrapperViewController"),
                                       sel_registerName("new")));
  }
  host::Rgba average(id image) {
    id color = msgSend<id>(styled.get(), sel_registerName("averageColorOfImage:"), image);
    return host::colorComponents(color);
  }
  Strong styled;
};

TEST_F(AverageColor, HalfTransparentPixelsCountTowardBlack) {
  bootWith();
  host::Rgba c = average(imageFromPixels(2, 1, {0xFFFF0000u, 0x00000000u}));
  EXPECT_EQ(c.red, component(127));
  EXPECT_EQ(c.green, 0);
  EXPECT_EQ(c.blue, 0);
  EXPECT_EQ(c.alpha, static_cast<double>(0.6f));
}

TEST_F(AverageColor, AFullyTransparentImageIsBlackAtTheMenuAlpha) {
  bootWith(0.25f);
  host::Rgba c = average(imageFromPixels(3, 3, std::vector<uint32_t>(9, 0)));
  EXPECT_EQ(c.red, 0);
  EXPECT_EQ(c.green, 0);
  EXPECT_EQ(c.blue, 0);
  EXPECT_EQ(c.alpha, 0.25);
}

TEST_F(AverageColor, IntegerSizesCountEveryPixelOnce) {
  bootWith();
  // Six opaque pixels: red sums to 10+20+30+40+50+61 = 211, 211 / 6 = 35 (truncated).
  std::vector<uint32_t> px;
  for (uint32_t r : {10u, 20u, 30u, 40u, 50u, 61u})
    px.push_back(0xFF000000u | r << 16 | 0x0000FF00u | 7u);
  host::Rgba c = average(imageFromPixels(3, 2, px));
  EXPECT_EQ(c.red, component(35));
  EXPECT_EQ(c.green, component(255));
  EXPECT_EQ(c.blue, component(7));
}

TEST_F(AverageColor, ANonIntegerSizeFollowsTheTruncationRules) {
  bootWith();
  // 3x3 pixels at scale 2 is 1.5 x 1.5 points: a 1x1 context, n = trunc(2.25) = 2 groups, the
  // second of them empty, so each average is half the drawn pixel, truncated.
  host::Rgba c = average(imageFromPixels(3, 3, std::vector<uint32_t>(9, 0xFFC86432u), 2));
  EXPECT_EQ(c.red, component(200 / 2));
  EXPECT_EQ(c.green, component(100 / 2));
  EXPECT_EQ(c.blue, component(50 / 2));
}

TEST_F(AverageColor, ImagesOfNoPixelsOrOfUnusableSizesAreBlack) {
  bootWith();
  Class fake = ClassBuilder<SizeOnly>("QVTestSizedImage", "NSObject")
                   .method(
                       "size", +[](id self, SEL) { return qv::fields<SizeOnly>(self)->size; })
                   .method(
                       "CGImage", +[](id, SEL) { return static_cast<CGImageRef>(nullptr); })
                   .cls();
  for (CGSize size : {CGSize{0, 0}, CGSize{-4, 4}, CGSize{NAN, 2}, CGSize{INFINITY, 1},
                      CGSize{1e6, 1e6}, CGSize{5000, 5000}}) {
    id image = msgSend<id>(fake, sel_registerName("new"));
    qv::fields<SizeOnly>(image)->size = size;
    host::Rgba c = average(image);
    EXPECT_EQ(c.red + c.green + c.blue, 0) << size.width;
    EXPECT_EQ(c.alpha, static_cast<double>(0.6f));
    objc_release(image);
  }
  host::Rgba none = average(nil);
  EXPECT_EQ(none.red, 0);
  EXPECT_EQ(none.alpha, static_cast<double>(0.6f));
}

TEST_F(AverageColor, AGreyImageAdmitsNoContextAndIsBlack) {
  bootWith();
  id image = imageFromPixels(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFFu));
  qv::fields<host::UIImageObj>(image)->bitmap->space = host::deviceGraySpace();
  host::Rgba c = average(image);
  EXPECT_EQ(c.red, 0);
  EXPECT_EQ(c.alpha, static_cast<double>(0.6f));
}

// A palette icon has an indexed colour space, in which no bitmap context can be made: such an
// icon averages to black, as it does on the device, while the same colour in RGB does not.
TEST_F(AverageColor, APaletteIconAveragesToBlack) {
  bootWith();
  std::string palette = root_ + "/palette.png";
  ASSERT_TRUE(writePalettePng(palette, 6, 6, 200, 40, 10));
  host::Rgba c = average(host::imageFromPngFile(palette));
  EXPECT_EQ(c.red + c.green + c.blue, 0);
  EXPECT_EQ(c.alpha, static_cast<double>(0.6f));
  host::Rgba rgb = average(imageFromPixels(6, 6, std::vector<uint32_t>(36, 0xFFC8280Au)));
  EXPECT_EQ(rgb.red, component(200));
  EXPECT_EQ(rgb.green, component(40));
}

}  // namespace
}  // namespace qv::testing
