// Any text through the colour picker's parser and its class method: a colour comes out with
// every component within 0..1, or nothing (the method: the fallback's colour).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/values.h"
#include "runtime/object_refs.h"
#include "runtime/system_images.h"
#include "uikit/colour_text.h"
#include "uikit/uikit.h"
#include "uikit/views.h"

using namespace qv;
using namespace qv::host;

namespace {

bool unit(double v) { return v >= 0.0 && v <= 1.0; }  // false for NaN too

void checkColour(const Rgba& c, const std::string& text, const char* where) {
  if (!unit(c.red) || !unit(c.green) || !unit(c.blue) || !unit(c.alpha)) {
    std::fprintf(stderr, "%s: \"%s\" gave (%g, %g, %g, %g)\n", where, text.c_str(), c.red, c.green,
                 c.blue, c.alpha);
    std::abort();
  }
}

bool same(const Rgba& a, const Rgba& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  registerUIKit();
  runtime::loadSystemImage(runtime::kColourPicker);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AutoreleasePool pool;
  // The first line is the text, the rest the fallback.
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t newline = input.find('\n');
  std::string text = input.substr(0, newline);
  std::string fallback = newline == std::string::npos ? "" : input.substr(newline + 1);

  std::optional<Rgba> parsed = parseColourText(text);
  if (parsed) checkColour(*parsed, text, "parseColourText");
  std::optional<Rgba> parsedFallback = parseColourText(fallback);
  if (parsedFallback) checkColour(*parsedFallback, fallback, "parseColourText");

  id colour = msgSend<id>(objc_getClass("SparkColourPickerUtils"),
                          SELECTOR("colourWithString:withFallback:"), makeString(text),
                          makeString(fallback));
  if (!colour) {
    std::fprintf(stderr, "colourWithString: nil for \"%s\"\n", text.c_str());
    std::abort();
  }
  Rgba c = colorComponents(colour);
  checkColour(c, text, "colourWithString");
  // The text's colour when it has one, else the fallback's, else black.
  Rgba expected = parsed ? *parsed : parsedFallback ? *parsedFallback : Rgba{0, 0, 0, 1};
  if (!same(c, expected)) {
    std::fprintf(stderr, "colourWithString: \"%s\" / \"%s\" gave another colour\n", text.c_str(),
                 fallback.c_str());
    std::abort();
  }
  return 0;
}
