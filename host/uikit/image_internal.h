// The bitmap behind UIImage and CGImageRef.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "foundation/foundation_internal.h"
#include "platform/coregraphics.h"

// A colour space: how a bitmap's colours are modelled.
struct CGColorSpace {
  enum class Model { RGB, Gray } model;
};

// Pixels in cairo's premultiplied ARGB32, with the colour space of the file they came from.
struct CGImage {
  cairo_surface_t* surface = nullptr;
  CGColorSpace* space = nullptr;
  ~CGImage() {
    if (surface) cairo_surface_destroy(surface);
  }
};

namespace qv::host {

struct UIImageObj : objc_object {
  std::shared_ptr<CGImage> bitmap;
  double scale = 1;
  std::string sourcePath;
  long renderingMode = 0;
};

CGColorSpace* deviceRGBSpace();
CGColorSpace* deviceGraySpace();

// A UIImage over a bitmap (autoreleased).
id makeImage(std::shared_ptr<CGImage> bitmap, double scale, std::string sourcePath);

void registerImages();

}  // namespace qv::host
