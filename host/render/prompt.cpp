// A pending authentication prompt, drawn over the screen as the system shows it.
#include <cmath>

#include "render/render_internal.h"

namespace qv::host::render {

void drawAuthPrompt(cairo_t* cr, const std::string& reason) {
  Box box{(kScreenWidth - 180) / 2, (kScreenHeight - 180) / 2, 180, 180};
  fillRounded(cr, box, 20, {0.1, 0.1, 0.1, 0.9});
  // A face in a frame, as the system's prompt shows.
  double cx = box.x + 90, cy = box.y + 58;
  roundedRect(cr, {cx - 26, cy - 26, 52, 52}, 12);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  fillRounded(cr, {cx - 12, cy - 10, 4, 10}, 2, {1, 1, 1, 1});
  fillRounded(cr, {cx + 8, cy - 10, 4, 10}, 2, {1, 1, 1, 1});
  cairo_arc(cr, cx, cy + 2, 11, 0.2 * kPi, 0.8 * kPi);
  cairo_stroke(cr);
  drawText(cr, "Face ID", box.x, box.y + 112, box.width, {15, true, {1, 1, 1, 1}, Align::Centre});
  TextStyle small{12, false, {1, 1, 1, 0.8}, Align::Centre};
  double baseline = box.y + 136;
  for (const std::string& line : wrapText(cr, reason, box.width - 24, small, 2)) {
    drawText(cr, line, box.x + 12, baseline, box.width - 24, small);
    baseline += 16;
  }
}

}  // namespace qv::host::render
