// The bitmap behind UIImage and CGImageRef.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "foundation/value_objects.h"
#include "platform/coregraphics.h"

// A colour space: how a bitmap's colours are modelled. An indexed space (a palette image's)
// describes pixels as entries of a colour table.
struct CGColorSpace {
  enum class Model { RGB, Gray, Indexed } model;
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

// A PNG file whose pixels are decoded the first time something needs them, as UIKit decodes
// file images lazily. Shared by an image and the copies made from it.
struct PendingPng;

struct UIImageObj : objc_object {
  std::shared_ptr<CGImage> bitmap;    // the pixels once known
  std::shared_ptr<PendingPng> file;   // set for images read from a file, until decoded
  int fileWidth = 0, fileHeight = 0;  // the file's pixel size, from its header
  double scale = 1;
  std::string sourcePath;
  long renderingMode = 0;
};

// The image's pixels, decoding its file if that has not happened yet; null when there are
// none (a file that turns out to be corrupt).
CGImage* imagePixels(id image);

CGColorSpace* deviceRGBSpace();
CGColorSpace* deviceGraySpace();
CGColorSpace* indexedRGBSpace();

// A UIImage over a bitmap (autoreleased).
id makeImage(std::shared_ptr<CGImage> bitmap, double scale, std::string sourcePath);

void registerImages();

}  // namespace qv::host
