// UIImage over cairo bitmaps: PNG files, in-memory images, rendering modes.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>

#include "foundation/device_root.h"
#include "runtime/class_builder.h"
#include "uikit/colour_text.h"
#include "uikit/image_info.h"
#include "uikit/image_internal.h"

namespace qv::host {

struct PendingPng {
  std::mutex lock;
  std::string realPath;
  bool decoded = false;
  std::shared_ptr<CGImage> pixels;
};

namespace {

constexpr int kMaxSide = 8192;
Class gImage;

UIImageObj* img(id i) { return fields<UIImageObj>(i); }

struct PngHeader {
  int width = 0, height = 0;
  CGColorSpace* space = nullptr;
};

// The colour space a PNG's pixels are decoded into, by its colour type: 0 and 4 hold grey
// pixels, 3 indexes a palette (an indexed space, as on the device), the others RGB.
CGColorSpace* spaceOfColourType(unsigned char colourType) {
  switch (colourType) {
    case 0:
    case 4:
      return deviceGraySpace();
    case 3:
      return indexedRGBSpace();
    default:
      return deviceRGBSpace();
  }
}

// The signature and the IHDR chunk that opens every PNG: its size and colour type.
std::optional<PngHeader> readPngHeader(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[26] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return std::nullopt;
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (std::memcmp(h, kSignature, 8) != 0 || std::memcmp(h + 12, "IHDR", 4) != 0)
    return std::nullopt;
  auto be32 = [&](int at) {
    return static_cast<uint32_t>(h[at]) << 24 | static_cast<uint32_t>(h[at + 1]) << 16 |
           static_cast<uint32_t>(h[at + 2]) << 8 | h[at + 3];
  };
  uint32_t w = be32(16), height = be32(20);
  if (w == 0 || height == 0 || w > kMaxSide || height > kMaxSide) return std::nullopt;
  return PngHeader{static_cast<int>(w), static_cast<int>(height), spaceOfColourType(h[25])};
}

// Decodes into premultiplied ARGB32; null for a file that cannot be decoded.
std::shared_ptr<CGImage> decodePng(const std::string& path, CGColorSpace* space) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  int w = cairo_image_surface_get_width(s);
  int h = cairo_image_surface_get_height(s);
  if (w > kMaxSide || h > kMaxSide) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32) {
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    s = argb;
  }
  auto bitmap = std::make_shared<CGImage>();
  bitmap->surface = s;
  bitmap->space = space;
  return bitmap;
}

// An image of a PNG file whose header is sound; the pixels come later.
id lazyImageFromPngFile(const std::string& path) {
  std::optional<PngHeader> header = readPngHeader(path);
  if (!header) return nil;
  id i = runtime::createInstance(gImage);
  img(i)->file = std::make_shared<PendingPng>();
  img(i)->file->realPath = path;
  img(i)->fileWidth = header->width;
  img(i)->fileHeight = header->height;
  return objc_autorelease(i);
}

id imageWithContentsOfFile(id, SEL, id path) {
  if (!path || !isString(path)) return nil;
  std::string device = stdString(path);
  id image = lazyImageFromPngFile(realPath(device));
  if (image) img(image)->sourcePath = device;
  return image;
}

CGSize imageSize(id self, SEL) {
  double s = img(self)->scale > 0 ? img(self)->scale : 1;
  if (!img(self)->bitmap && img(self)->file) {
    return {img(self)->fileWidth / s, img(self)->fileHeight / s};
  }
  CGImage* b = imagePixels(self);
  if (!b || !b->surface) return {0, 0};
  return {cairo_image_surface_get_width(b->surface) / s,
          cairo_image_surface_get_height(b->surface) / s};
}
double imageScale(id self, SEL) { return img(self)->scale; }
CGImageRef imageCGImage(id self, SEL) { return imagePixels(self); }
id imageWithRenderingMode(id self, SEL, NSInteger mode) {
  id copy = makeImage(img(self)->bitmap, img(self)->scale, img(self)->sourcePath);
  img(copy)->file = img(self)->file;
  img(copy)->fileWidth = img(self)->fileWidth;
  img(copy)->fileHeight = img(self)->fileHeight;
  img(copy)->renderingMode = mode;
  return copy;
}
NSInteger imageRenderingModeOf(id self, SEL) { return img(self)->renderingMode; }

}  // namespace

CGImage* imagePixels(id image) {
  UIImageObj* i = img(image);
  if (!i->bitmap && i->file) {
    std::lock_guard<std::mutex> guard(i->file->lock);
    if (!i->file->decoded) {
      i->file->decoded = true;
      std::optional<PngHeader> header = readPngHeader(i->file->realPath);
      if (header) i->file->pixels = decodePng(i->file->realPath, header->space);
    }
    i->bitmap = i->file->pixels;
  }
  return i->bitmap.get();
}

CGColorSpace* deviceRGBSpace() {
  static CGColorSpace space{CGColorSpace::Model::RGB};
  return &space;
}

CGColorSpace* deviceGraySpace() {
  static CGColorSpace space{CGColorSpace::Model::Gray};
  return &space;
}

CGColorSpace* indexedRGBSpace() {
  static CGColorSpace space{CGColorSpace::Model::Indexed};
  return &space;
}

id makeImage(std::shared_ptr<CGImage> bitmap, double scale, std::string sourcePath) {
  id i = runtime::createInstance(gImage);
  img(i)->bitmap = std::move(bitmap);
  img(i)->scale = scale;
  img(i)->sourcePath = std::move(sourcePath);
  return objc_autorelease(i);
}

id imageFromPngFile(const std::string& path) {
  std::optional<PngHeader> header = readPngHeader(path);
  if (!header) return nil;
  std::shared_ptr<CGImage> pixels = decodePng(path, header->space);
  return pixels ? makeImage(pixels, 1, "") : nil;
}

id makeSolidImage(const std::string& hex, int size) {
  Rgba c = parseColourText(hex).value_or(Rgba{0.5, 0.5, 0.5, 1});
  auto bitmap = std::make_shared<CGImage>();
  bitmap->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  bitmap->space = deviceRGBSpace();
  cairo_t* cr = cairo_create(bitmap->surface);
  cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(bitmap->surface);
  return makeImage(bitmap, 1, "");
}

std::string imageSourcePath(id image) {
  return image && isKind(image, gImage) ? img(image)->sourcePath : "";
}

long imageRenderingMode(id image) {
  return image && isKind(image, gImage) ? img(image)->renderingMode : 0;
}

_cairo_surface* imageSurface(id image) {
  if (!image || !isKind(image, gImage)) return nullptr;
  CGImage* pixels = imagePixels(image);
  return pixels ? pixels->surface : nullptr;
}

void registerImages() {
  gImage = ClassBuilder<UIImageObj>("UIImage", "NSObject")
               .classMethod("imageWithContentsOfFile:", imageWithContentsOfFile)
               .method("size", imageSize)
               .method("scale", imageScale)
               .method("CGImage", imageCGImage)
               .method("imageWithRenderingMode:", imageWithRenderingMode)
               .method("renderingMode", imageRenderingModeOf)
               .cls();
}

}  // namespace qv::host
