// UIColor: components, the named colours and equality.
#include <cmath>
#include <cstdio>

#include "foundation/keyed_archive.h"
#include "runtime/class_builder.h"
#include "uikit/uikit_internal.h"

namespace qv::host {
namespace {

Class gColor;

UIColorObj* col(id c) { return fields<UIColorObj>(c); }

double clamp01(double v) { return std::isnan(v) ? 0 : (v < 0 ? 0 : (v > 1 ? 1 : v)); }

id newColor(double r, double g, double b, double a) {
  id c = runtime::createInstance(gColor);
  col(c)->red = clamp01(r);
  col(c)->green = clamp01(g);
  col(c)->blue = clamp01(b);
  col(c)->alpha = clamp01(a);
  return c;
}

id colorWithRGBA(id, SEL, double r, double g, double b, double a) {
  return objc_autorelease(newColor(r, g, b, a));
}
id black(id, SEL) { return objc_autorelease(newColor(0, 0, 0, 1)); }
id white(id, SEL) { return objc_autorelease(newColor(1, 1, 1, 1)); }
id clear(id, SEL) { return objc_autorelease(newColor(0, 0, 0, 0)); }
BOOL getRGBA(id self, SEL, double* r, double* g, double* b, double* a) {
  if (r) *r = col(self)->red;
  if (g) *g = col(self)->green;
  if (b) *b = col(self)->blue;
  if (a) *a = col(self)->alpha;
  return YES;
}
id colorWithAlpha(id self, SEL, double a) {
  return objc_autorelease(newColor(col(self)->red, col(self)->green, col(self)->blue, a));
}
BOOL colorIsEqual(id self, SEL, id other) {
  if (other == self) return YES;
  if (!other || !isKind(other, gColor)) return NO;
  UIColorObj* a = col(self);
  UIColorObj* b = col(other);
  return a->red == b->red && a->green == b->green && a->blue == b->blue && a->alpha == b->alpha;
}
NSUInteger colorHash(id self, SEL) {
  UIColorObj* c = col(self);
  return static_cast<NSUInteger>(c->red * 255) << 24 |
         static_cast<NSUInteger>(c->green * 255) << 16 |
         static_cast<NSUInteger>(c->blue * 255) << 8 | static_cast<NSUInteger>(c->alpha * 255);
}
id colorDescription(id self, SEL) {
  char buf[96];
  UIColorObj* c = col(self);
  std::snprintf(buf, sizeof buf, "UIExtendedSRGBColorSpace %g %g %g %g", c->red, c->green, c->blue,
                c->alpha);
  return makeString(buf);
}
id colorCopy(id self, SEL, void*) { return objc_retain(self); }

}  // namespace

Class colorClass() { return gColor; }

id makeColor(double r, double g, double b, double a) {
  return objc_autorelease(newColor(r, g, b, a));
}

Rgba colorComponents(id color) {
  if (!color || !isKind(color, gColor)) return Rgba{0, 0, 0, 0};
  return Rgba{col(color)->red, col(color)->green, col(color)->blue, col(color)->alpha};
}

void registerColors() {
  gColor = ClassBuilder<UIColorObj>("UIColor", "NSObject")
               .classMethod("colorWithRed:green:blue:alpha:", colorWithRGBA)
               .classMethod("blackColor", black)
               .classMethod("whiteColor", white)
               .classMethod("clearColor", clear)
               .method("getRed:green:blue:alpha:", getRGBA)
               .method("colorWithAlphaComponent:", colorWithAlpha)
               .method("isEqual:", colorIsEqual)
               .method("hash", colorHash)
               .method("description", colorDescription)
               .method("copyWithZone:", colorCopy)
               .cls();
  // Colours archive with their alpha, under UIKit's keys.
  registerArchivableClass(
      "UIColor",
      [](id color, ArchiveEncoder& encoder) {
        encoder.encodeDouble("UIRed", col(color)->red);
        encoder.encodeDouble("UIGreen", col(color)->green);
        encoder.encodeDouble("UIBlue", col(color)->blue);
        encoder.encodeDouble("UIAlpha", col(color)->alpha);
        encoder.encodeInt("UIColorComponentCount", 4);
      },
      [](const ArchiveDecoder& decoder) -> id {
        if (!decoder.containsKey("UIRed")) return nil;
        return objc_autorelease(
            newColor(decoder.decodeDouble("UIRed"), decoder.decodeDouble("UIGreen"),
                     decoder.decodeDouble("UIBlue"), decoder.decodeDouble("UIAlpha")));
      });
}

}  // namespace qv::host
