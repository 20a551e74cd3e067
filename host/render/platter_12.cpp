// The version-12 force-touch platter: the visual-effect backdrop with its tint, the widget
// when the host was given one, and the action rows with keylines between them.
#include <algorithm>
#include <cmath>

#include "render/render_internal.h"

namespace qv::host::render {

namespace {

constexpr double kBackdropBlur = 16, kUntintedDim = 0.3;
constexpr double kWidgetHeight = 140, kRowHeight = 48, kDefaultWidth = 250;

double rowHeight(id row) {
  double h = fields<UIViewObj>(row)->frame.size.height;
  // The platter's rows are taller than the frame the host makes them with.
  return std::isfinite(h) && h > 0 ? std::clamp(h, kRowHeight, 88.0) : kRowHeight;
}

void drawWidget(cairo_t* cr, const HomeScreen& home, id iconView, const Box& box) {
  Look look = hostLook();
  fillRounded(cr, box, 13, look.material);
  std::string name;
  if (const IconEntry* e = iconEntryFor(home, iconView)) {
    name = textOf(fields<SBIconObj>(fields<SBIconViewObj>(e->iconView)->icon)->displayName);
  }
  drawText(cr, name, box.x + 16, box.y + 28, box.width - 32, {15, true, look.label});
  drawText(cr, "Widget", box.x + 16, box.y + 48, box.width - 32, {12, false, look.secondary});
  for (int i = 0; i < 3; i++) {
    fillRounded(cr, {box.x + 16, box.y + 66 + i * 20, box.width - 32 - i * 40, 10}, 5,
                look.secondary, 0.5);
  }
}

}  // namespace

void drawPlatter12(cairo_t* cr, const HomeScreen& home, const PlatterViews& views,
                   const Layer& homeLayer, RenderedLayout* layout) {
  // The effect view: a blur as strong as its effect strength, tinted as its settings say.
  if (shown(views.effect)) {
    double strength =
        std::isfinite(views.effectStrength) ? std::clamp(views.effectStrength, 0.0, 1.0) : 0;
    if (views.backdropTint) {
      drawBackdrop(cr, homeLayer, kBackdropBlur * strength, colourOf(views.backdropTint),
                   views.backdropTintAlpha);
    } else {
      drawBackdrop(cr, homeLayer, kBackdropBlur * strength, {0, 0, 0, 1}, kUntintedDim * strength);
    }
  } else {
    paintLayer(cr, homeLayer, 0, 0);
  }
  Box icon = drawLiftedIcon(cr, home, views.iconView);

  std::vector<size_t> rows;
  double height = 0;
  double width = kDefaultWidth;
  for (size_t i = 0; i < views.rows.size(); i++) {
    id view = views.rows[i].view;
    if (!shown(view)) continue;
    rows.push_back(i);
    height += rowHeight(view);
    double w = fields<UIViewObj>(view)->frame.size.width;
    if (std::isfinite(w) && w > 0) width = w;
  }
  std::vector<double> heights;
  if (views.widget) heights.push_back(kWidgetHeight);
  heights.push_back(height);
  std::vector<Box> boxes = stackFromIcon(icon, width, heights);
  if (views.widget) drawWidget(cr, home, views.iconView, boxes.front());

  Box box = boxes.back();
  id platter = views.platterController
                   ? fields<UIViewControllerObj>(views.platterController)->view.get()
                   : nil;
  if (platter && !shown(platter)) return;
  Look look = hostLook();
  double radius = cornerRadiusOf(platter, 13);
  withAlpha(cr, platter ? alphaOf(platter) : 1, [&] {
    Rgba fill =
        hasColour(platter) ? colourOf(fields<UIViewObj>(platter)->backgroundColor) : look.material;
    fillRounded(cr, box, radius, fill);
    cairo_save(cr);
    roundedRect(cr, box, radius);
    cairo_clip(cr);
    double y = box.y;
    for (size_t k = 0; k < rows.size(); k++) {
      const PlatterRowViews& r = views.rows[rows[k]];
      Box row{box.x, y, box.width, rowHeight(r.view)};
      drawRow(cr, row, textOf(r.title), textOf(r.subtitle), r.image, look.label, alphaOf(r.view));
      if (layout) layout->menuRows.push_back(row);
      y += row.height;
      // The keyline under a row, when another row follows.
      id keyline = rows[k] < views.keylines.size() ? views.keylines[rows[k]] : nil;
      if (k + 1 < rows.size() && shown(keyline)) hairline(cr, box.x, y, box.right(), look.hairline);
    }
    cairo_restore(cr);
  });
  if (layout) layout->menu = box;
}

}  // namespace qv::host::render
