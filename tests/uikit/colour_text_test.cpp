// The colour picker's text forms.
#include <gtest/gtest.h>

#include "uikit/colour_text.h"

namespace qv::host {
namespace {

void expectColour(const char* text, double r, double g, double b, double a) {
  std::optional<Rgba> c = parseColourText(text);
  ASSERT_TRUE(c.has_value()) << text;
  EXPECT_NEAR(c->red, r, 1e-9) << text;
  EXPECT_NEAR(c->green, g, 1e-9) << text;
  EXPECT_NEAR(c->blue, b, 1e-9) << text;
  EXPECT_NEAR(c->alpha, a, 1e-9) << text;
}

TEST(ColourText, ReadsHexWithOptionalAlpha) {
  expectColour("#ffffff", 1, 1, 1, 1);
  expectColour("#FF8000", 1, 128 / 255.0, 0, 1);
  expectColour("  #102030  ", 16 / 255.0, 32 / 255.0, 48 / 255.0, 1);
  expectColour("#ff0000:0.50", 1, 0, 0, 0.5);
  expectColour("#ff0000:1", 1, 0, 0, 1);
  expectColour("#ff0000:0", 1, 0, 0, 0);
}

TEST(ColourText, ReadsRgbAndRgbaWithByteComponents) {
  expectColour("rgb(255, 0, 0)", 1, 0, 0, 1);
  expectColour("rgb(0,128,255)", 0, 128 / 255.0, 1, 1);
  expectColour("rgba(10, 20, 30, 0.25)", 10 / 255.0, 20 / 255.0, 30 / 255.0, 0.25);
  expectColour("rgba( 0 , 0 , 0 , .5 )", 0, 0, 0, 0.5);
}

TEST(ColourText, AnythingElseIsNoColour) {
  for (const char* bad : {"",
                          "   ",
                          "#",
                          "#fff",
                          "#12345",
                          "#1234567",
                          "#gg0000",
                          "ff0000",
                          "#ff0000:",
                          "#ff0000:1.5",
                          "#ff0000:-0.5",
                          "#ff0000:abc",
                          "rgb(256, 0, 0)",
                          "rgb(-1, 0, 0)",
                          "rgb(1.5, 0, 0)",
                          "rgb(1, 2)",
                          "rgb(1, 2, 3, 4)",
                          "rgba(1, 2, 3)",
                          "rgba(1, 2, 3, 2)",
                          "rgb 1,2,3",
                          "rgb(1, 2, 3",
                          "RGB(1, 2, 3)",
                          "rgb(1e2, 0, 0)",
                          "red",
                          "rgb(,,)"}) {
    EXPECT_FALSE(parseColourText(bad).has_value()) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace qv::host
