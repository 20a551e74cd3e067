#include "pen.h"

#include <cmath>

namespace qv::icons {

double Pen::at(double v) const {
  double w = std::round(width);
  if (std::abs(w - width) > 1e-9) return v;  // fractional widths cannot be aligned
  return static_cast<long>(w) % 2 == 1 ? std::floor(v) + 0.5 : std::round(v);
}

Pen plainPen() { return {3.0, 1.0, CAIRO_LINE_CAP_BUTT, 2.5}; }
Pen roundPen() { return {4.0, 1.25, CAIRO_LINE_CAP_ROUND, 3.0}; }

void roundedRect(cairo_t* cr, double x0, double y0, double x1, double y1, double r) {
  constexpr double kQuarter = M_PI / 2;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x1 - r, y0 + r, r, -kQuarter, 0);
  cairo_arc(cr, x1 - r, y1 - r, r, 0, kQuarter);
  cairo_arc(cr, x0 + r, y1 - r, r, kQuarter, 2 * kQuarter);
  cairo_arc(cr, x0 + r, y0 + r, r, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr);
}

void strokeRoundedRect(cairo_t* cr, const Pen& pen, double x0, double y0, double x1, double y1,
                       double r) {
  roundedRect(cr, pen.at(x0), pen.at(y0), pen.at(x1), pen.at(y1), r);
  stroke(cr, pen);
}

void segment(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
}

void stroke(cairo_t* cr, const Pen& pen) {
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_set_line_width(cr, pen.width);
  cairo_set_line_cap(cr, pen.cap);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void fill(cairo_t* cr) {
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_fill(cr);
}

void clearFill(cairo_t* cr) {
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_fill(cr);
}

void clearStroke(cairo_t* cr, double width) {
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

void slash(cairo_t* cr, const Pen& pen, double shift) {
  constexpr double kFrom = 9, kTo = kIconPixels - 9;
  segment(cr, kFrom - shift, kFrom + shift, kTo - shift, kTo + shift);
  clearStroke(cr, pen.width + 2 * pen.gap);
  segment(cr, kFrom - shift, kFrom + shift, kTo - shift, kTo + shift);
  Pen rounded = pen;
  rounded.cap = CAIRO_LINE_CAP_ROUND;
  stroke(cr, rounded);
}

}  // namespace qv::icons
