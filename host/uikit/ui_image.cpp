// UIImage over cairo bitmaps: PNG files, in-memory images, rendering modes.
#include <cstdio>
#include <fstream>

#include "foundation/device_root.h"
#include "runtime/class_builder.h"
#include "uikit/colour_text.h"
#include "uikit/image_info.h"
#include "uikit/image_internal.h"

namespace qv::host {
namespace {

constexpr int kMaxSide = 8192;
Class gImage;

UIImageObj* img(id i) { return fields<UIImageObj>(i); }

// PNG colour types 0 and 4 hold grey pixels.
bool pngIsGray(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[26] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
  return header[25] == 0 || header[25] == 4;
}

id imageWithContentsOfFile(id, SEL, id path) {
  if (!path || !isString(path)) return nil;
  std::string device = stdString(path);
  id image = imageFromPngFile(realPath(device));
  if (image) img(image)->sourcePath = device;
  return image;
}

CGSize imageSize(id self, SEL) {
  CGImage* b = img(self)->bitmap.get();
  if (!b || !b->surface) return {0, 0};
  double s = img(self)->scale > 0 ? img(self)->scale : 1;
  return {cairo_image_surface_get_width(b->surface) / s, cairo_image_surface_get_height(b->surface) / s};
}
double imageScale(id self, SEL) { return img(self)->scale; }
CGImageRef imageCGImage(id self, SEL) { return img(self)->bitmap.get(); }
id imageWithRenderingMode(id self, SEL, NSInteger mode) {
  id copy = makeImage(img(self)->bitmap, img(self)->scale, img(self)->sourcePath);
  img(copy)->renderingMode = mode;
  return copy;
}
NSInteger imageRenderingModeOf(id self, SEL) { return img(self)->renderingMode; }

}  // namespace

CGColorSpace* deviceRGBSpace() {
  static CGColorSpace space{CGColorSpace::Model::RGB};
  return &space;
}

CGColorSpace* deviceGraySpace() {
  static CGColorSpace space{CGColorSpace::Model::Gray};
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
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nil;
  }
  int w = cairo_image_surface_get_width(s);
  int h = cairo_image_surface_get_height(s);
  if (w > kMaxSide || h > kMaxSide) {
    cairo_surface_destroy(s);
    return nil;
  }
  // Everything is drawn from premultiplied ARGB32.
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
  bitmap->space = pngIsGray(path) ? deviceGraySpace() : deviceRGBSpace();
  return makeImage(bitmap, 1, "");
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
  if (!image || !isKind(image, gImage) || !img(image)->bitmap) return nullptr;
  return img(image)->bitmap->surface;
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
