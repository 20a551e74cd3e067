// Core Graphics: geometry and bitmap contexts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/encoding.h"

typedef double CGFloat;

struct CGPoint {
  CGFloat x;
  CGFloat y;
};
struct CGSize {
  CGFloat width;
  CGFloat height;
};
struct CGRect {
  CGPoint origin;
  CGSize size;
};

inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return {{x, y}, {w, h}}; }

namespace qv {
QV_ENCODING(CGPoint, "{CGPoint=dd}");
QV_ENCODING(CGSize, "{CGSize=dd}");
QV_ENCODING(CGRect, "{CGRect={CGPoint=dd}{CGSize=dd}}");
}  // namespace qv

typedef struct CGImage* CGImageRef;
typedef struct CGColorSpace* CGColorSpaceRef;
typedef struct CGContext* CGContextRef;
typedef uint32_t CGBitmapInfo;

// Alpha premultiplied and stored last (RGBA), default byte order.
constexpr CGBitmapInfo kCGImageAlphaPremultipliedLast = 1;

#pragma GCC visibility push(default)
extern "C" {
CGColorSpaceRef CGImageGetColorSpace(CGImageRef image);
// A context drawing into the caller's buffer; null when the parameters admit none.
CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space,
                                   CGBitmapInfo bitmapInfo);
// Draws the image scaled into `rect` (origin at the bottom left, as Core Graphics does).
void CGContextDrawImage(CGContextRef context, CGRect rect, CGImageRef image);
void CGContextRelease(CGContextRef context);
}
#pragma GCC visibility pop
