#include "glyphs.h"

#include <cmath>
#include <initializer_list>

namespace qv::icons {

namespace {

constexpr double kMid = kIconPixels / 2.0;

struct Circle {
  double x, y, r;
};

// Angle, on circle a, of the upper point where circles a and b cross.
double upperCrossing(const Circle& a, const Circle& b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double d = std::hypot(dx, dy);
  double along = (d * d + a.r * a.r - b.r * b.r) / (2 * d);
  double across = std::sqrt(a.r * a.r - along * along);
  double ux = dx / d, uy = dy / d;
  // Of the two crossings, the one with the smaller y is the upper one on screen.
  double px1 = a.x + along * ux - across * uy, py1 = a.y + along * uy + across * ux;
  double px2 = a.x + along * ux + across * uy, py2 = a.y + along * uy - across * ux;
  return py1 < py2 ? std::atan2(py1 - a.y, px1 - a.x) : std::atan2(py2 - a.y, px2 - a.x);
}

// Filled triangle pointing along (dx, dy) with its base centred on (x, y).
void arrowHead(cairo_t* cr, const Pen& pen, double x, double y, double dx, double dy, double length,
               double halfWidth) {
  double n = std::hypot(dx, dy);
  dx /= n;
  dy /= n;
  cairo_move_to(cr, x + dx * length, y + dy * length);
  cairo_line_to(cr, x - dy * halfWidth, y + dx * halfWidth);
  cairo_line_to(cr, x + dy * halfWidth, y - dx * halfWidth);
  cairo_close_path(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  // A thin round stroke softens the three points.
  cairo_set_line_width(cr, pen.width * 0.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_fill_preserve(cr);
  cairo_stroke(cr);
}

// The bell outline shared by the notification glyphs: a dome whose sides flare out to the rim.
void bell(cairo_t* cr, const Pen& pen) {
  constexpr double kDome = 23, kDomeR = 11, kRimHalf = 17;
  const double kRim = pen.at(41);
  cairo_move_to(cr, kMid - kRimHalf, kRim);
  cairo_curve_to(cr, kMid - kDomeR + 1, kRim - 4, kMid - kDomeR, kRim - 8, kMid - kDomeR,
                 kDome + 6);
  cairo_line_to(cr, kMid - kDomeR, kDome);
  cairo_arc(cr, kMid, kDome, kDomeR, M_PI, 2 * M_PI);
  cairo_line_to(cr, kMid + kDomeR, kDome + 6);
  cairo_curve_to(cr, kMid + kDomeR, kRim - 8, kMid + kDomeR - 1, kRim - 4, kMid + kRimHalf, kRim);
  cairo_close_path(cr);
  stroke(cr, pen);
  // Knob on top and clapper below the rim.
  segment(cr, kMid, kDome - kDomeR, kMid, kDome - kDomeR - 3);
  stroke(cr, pen);
  cairo_new_sub_path(cr);
  cairo_arc(cr, kMid, kRim + 2, 5, 0, M_PI);
  stroke(cr, pen);
}

void bannerPhone(cairo_t* cr, const Pen& pen) {
  strokeRoundedRect(cr, pen, 15, 6, 43, 52, pen.radius(6));
  roundedRect(cr, 20, 11, 38, 21, pen.radius(3));
  fill(cr);
}

constexpr double kPadlockTop = 28;

void padlockBody(cairo_t* cr, const Pen& pen) {
  strokeRoundedRect(cr, pen, 13, kPadlockTop, 45, kPadlockTop + 23, pen.radius(5));
  cairo_arc(cr, kMid, kPadlockTop + 10, 3.2, 0, 2 * M_PI);
  fill(cr);
  // The keyhole keeps its size whatever the pen.
  segment(cr, kMid, kPadlockTop + 10, kMid, kPadlockTop + 15);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

}  // namespace

void drawCopy(cairo_t* cr, const Pen& pen) {
  double r = pen.radius(5);
  strokeRoundedRect(cr, pen, 10, 7, 36, 39, r);
  // The front sheet hides the part of the back one it covers.
  double clear = pen.width / 2 + pen.gap;
  roundedRect(cr, pen.at(22) - clear, pen.at(19) - clear, pen.at(48) + clear, pen.at(51) + clear,
              r + clear);
  clearFill(cr);
  strokeRoundedRect(cr, pen, 22, 19, 48, 51, r);
}

void drawCloudDown(cairo_t* cr, const Pen& pen) {
  const double kBase = pen.at(44);
  const Circle left{16, kBase - 9, 9}, top{29, 27, 13}, right{40, kBase - 11, 11};
  cairo_arc(cr, left.x, left.y, left.r, M_PI / 2, upperCrossing(left, top));
  cairo_arc(cr, top.x, top.y, top.r, upperCrossing(top, left), upperCrossing(top, right));
  cairo_arc(cr, right.x, right.y, right.r, upperCrossing(right, top), M_PI / 2);
  cairo_close_path(cr);
  stroke(cr, pen);
  double x = pen.at(kMid);
  segment(cr, x, 24, x, 37);
  stroke(cr, pen);
  cairo_move_to(cr, x - 5.5, 32);
  cairo_line_to(cr, x, 37.5);
  cairo_line_to(cr, x + 5.5, 32);
  stroke(cr, pen);
}

void drawTrash(cairo_t* cr, const Pen& pen) {
  double lid = pen.at(14);
  segment(cr, 9, lid, kIconPixels - 9, lid);
  stroke(cr, pen);
  // Handle.
  cairo_move_to(cr, pen.at(23), lid);
  cairo_line_to(cr, pen.at(23), pen.at(9));
  cairo_line_to(cr, pen.at(35), pen.at(9));
  cairo_line_to(cr, pen.at(35), lid);
  stroke(cr, pen);
  // Body, narrowing towards a rounded bottom.
  double r = pen.radius(4), bottom = pen.at(50);
  cairo_move_to(cr, 14, lid);
  cairo_line_to(cr, 16.5, bottom - r);
  cairo_arc_negative(cr, 16.5 + r, bottom - r, r, M_PI, M_PI / 2);
  cairo_arc_negative(cr, 41.5 - r, bottom - r, r, M_PI / 2, 0);
  cairo_line_to(cr, 44, lid);
  stroke(cr, pen);
  for (double x : {23.0, 35.0}) segment(cr, pen.at(x), 21, pen.at(x), 43);
  stroke(cr, pen);
}

void drawClearCache(cairo_t* cr, const Pen& pen) {
  // Centred a little low so that the arrow head on top balances it.
  constexpr double kR = 17, kStart = -M_PI / 4, kEnd = -M_PI / 2 - 0.3, kX = kMid, kY = kMid + 2;
  cairo_arc(cr, kX, kY, kR, kStart, kEnd);
  stroke(cr, pen);
  double ex = kX + kR * std::cos(kEnd), ey = kY + kR * std::sin(kEnd);
  arrowHead(cr, pen, ex, ey, -std::sin(kEnd), std::cos(kEnd), 7, 5.5);
  constexpr double kArm = 5.5;
  segment(cr, kX - kArm, kY - kArm, kX + kArm, kY + kArm);
  segment(cr, kX - kArm, kY + kArm, kX + kArm, kY - kArm);
  Pen rounded = pen;
  rounded.cap = CAIRO_LINE_CAP_ROUND;
  stroke(cr, rounded);
}

void drawBadgeClear(cairo_t* cr, const Pen& pen) {
  strokeRoundedRect(cr, pen, 8, 16, 42, 50, pen.radius(8));
  // The badge sits on the corner, cut out of the square, with a cross through it.
  constexpr double kX = 41, kY = 17, kR = 9;
  cairo_arc(cr, kX, kY, kR + pen.gap, 0, 2 * M_PI);
  clearFill(cr);
  cairo_arc(cr, kX, kY, kR, 0, 2 * M_PI);
  fill(cr);
  constexpr double kArm = 3.6;
  segment(cr, kX - kArm, kY - kArm, kX + kArm, kY + kArm);
  segment(cr, kX - kArm, kY + kArm, kX + kArm, kY - kArm);
  clearStroke(cr, pen.width * 0.8);
}

void drawLock(cairo_t* cr, const Pen& pen) {
  padlockBody(cr, pen);
  double left = pen.at(20), right = pen.at(38), r = (right - left) / 2;
  cairo_move_to(cr, left, kPadlockTop);
  cairo_arc(cr, left + r, kPadlockTop - 9, r, M_PI, 2 * M_PI);
  cairo_line_to(cr, right, kPadlockTop);
  stroke(cr, pen);
}

void drawUnlock(cairo_t* cr, const Pen& pen) {
  padlockBody(cr, pen);
  // Lifted out of the body: the free leg stops short.
  double left = pen.at(20), right = pen.at(38), r = (right - left) / 2;
  cairo_move_to(cr, left, kPadlockTop - 9);
  cairo_arc(cr, left + r, kPadlockTop - 13, r, M_PI, 2 * M_PI);
  cairo_line_to(cr, right, kPadlockTop);
  stroke(cr, pen);
}

void drawBell(cairo_t* cr, const Pen& pen) { bell(cr, pen); }

void drawBellOff(cairo_t* cr, const Pen& pen) {
  bell(cr, pen);
  // Moved off the flare, which would otherwise leave a thin sliver beside the slash.
  slash(cr, pen, 2);
}

void drawBanner(cairo_t* cr, const Pen& pen) { bannerPhone(cr, pen); }

void drawBannerOff(cairo_t* cr, const Pen& pen) {
  bannerPhone(cr, pen);
  slash(cr, pen);
}

}  // namespace qv::icons
