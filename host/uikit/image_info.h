// Images for host code: decoding, making, and what an image came from.
#pragma once

#include <cstdint>
#include <string>

#include "platform/objc.h"

struct _cairo_surface;

namespace qv::host {

// An autoreleased UIImage decoded from a PNG on the real file system; nil when it cannot be
// read or is larger than 8192 pixels a side.
id imageFromPngFile(const std::string& realPath);

// An autoreleased opaque square UIImage of `size` pixels in one colour ("#RRGGBB").
id makeSolidImage(const std::string& hex, int size);

// The file an image was loaded from ("" when it was made in memory), and its rendering mode.
std::string imageSourcePath(id image);
long imageRenderingMode(id image);

// The image's pixels as a cairo ARGB32 surface (borrowed), or null; for drawing.
_cairo_surface* imageSurface(id image);

}  // namespace qv::host
