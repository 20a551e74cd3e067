// Stroke style and path helpers shared by the glyphs.
#pragma once

#include <cairo.h>

namespace qv::icons {

// Icons are 29 points drawn at 2x.
constexpr int kIconPixels = 58;

// One family of icons shares a pen, so their lines match.
struct Pen {
  double width;          // stroke width in pixels
  double roundness;      // scales corner radii
  cairo_line_cap_t cap;  // how open lines end
  double gap;            // clear space around a slash or a badge

  // Moves a coordinate so that a horizontal or vertical stroke centred on it covers whole
  // pixels: crisp edges instead of a grey half-pixel fringe.
  double at(double v) const;
  double radius(double r) const { return r * roundness; }
};

// The pen of the plain icons and the slightly bolder, rounder one of the newer menus.
Pen plainPen();
Pen roundPen();

void roundedRect(cairo_t* cr, double x0, double y0, double x1, double y1, double r);
// Outline of a rounded rectangle whose edges are snapped to the pen.
void strokeRoundedRect(cairo_t* cr, const Pen& pen, double x0, double y0, double x1, double y1,
                       double r);
void segment(cairo_t* cr, double x0, double y0, double x1, double y1);
// Strokes the current path in black with the pen's width, cap and round joins.
void stroke(cairo_t* cr, const Pen& pen);
void fill(cairo_t* cr);
// Clears the current path's interior to transparent.
void clearFill(cairo_t* cr);
// Clears a band of the given width along the current path.
void clearStroke(cairo_t* cr, double width);
// The diagonal "off" slash from top-left to bottom-right, with clear space on both sides;
// `shift` moves it down and left, away from lines that would run alongside it.
void slash(cairo_t* cr, const Pen& pen, double shift = 0);

}  // namespace qv::icons
