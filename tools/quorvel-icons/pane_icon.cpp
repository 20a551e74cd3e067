#include "pane_icon.h"

#include <cairo.h>

#include <cmath>
#include <initializer_list>

#include "icon_file.h"
#include "pen.h"

namespace qv::icons {
namespace {

// Drawn in points; the canvas is scaled to pixels.
void drawPaneIcon(cairo_t* cr) {
  constexpr double kSide = kPaneIconPoints;
  // An indigo rounded square, its corners about a fifth of the side as the Settings app
  // rounds its own icons.
  roundedRect(cr, 0, 0, kSide, kSide, 6.5);
  cairo_set_source_rgb(cr, 0x58 / 255.0, 0x56 / 255.0, 0xd6 / 255.0);
  cairo_fill(cr);
  // Three menu rows: a dot for the item's icon and a bar for its title.
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (double y : {9.0, 14.5, 20.0}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, 8.5, y, 1.5, 0, 2 * M_PI);
    cairo_fill(cr);
    segment(cr, 12.5, y, 21.5, y);
    cairo_stroke(cr);
  }
}

}  // namespace

std::string paneIconName(int scale) {
  return scale == 1 ? "Quorvel.png" : "Quorvel@" + std::to_string(scale) + "x.png";
}

std::string writePaneIcon(const std::filesystem::path& file, int scale) {
  return writePng(file, kPaneIconPoints * scale, [&](cairo_t* cr) {
    cairo_scale(cr, scale, scale);
    drawPaneIcon(cr);
  });
}

}  // namespace qv::icons
