#include "icon_file.h"

namespace qv::icons {

std::string writePng(const std::filesystem::path& file, int pixels,
                     const std::function<void(cairo_t*)>& draw) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
  draw(cr);
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_write_to_png(surface, file.c_str());
  cairo_surface_destroy(surface);
  return status == CAIRO_STATUS_SUCCESS ? std::string() : cairo_status_to_string(status);
}

std::string writeIcon(const std::filesystem::path& file, Glyph glyph, const Pen& pen) {
  return writePng(file, kIconPixels, [&](cairo_t* cr) { glyph(cr, pen); });
}

}  // namespace qv::icons
