// What the three menu families share: placement beside the pressed icon, the lifted icon,
// the preview platter, the cut-out shadow and a row's text and image.
#include <algorithm>
#include <cmath>

#include "render/render_internal.h"

namespace qv::host::render {

namespace {

constexpr double kGap = 12, kMargin = 12;
constexpr double kShadowBlur = 12;
constexpr double kPreviewHeight = 110;

}  // namespace

namespace {

constexpr double kTopLimit = 48, kBottomLimit = kScreenHeight - 24;

double runHeight(const std::vector<double>& heights, size_t from) {
  double total = 0;
  for (size_t i = from; i < heights.size(); i++) total += heights[i] + (i > from ? kGap : 0);
  return total;
}

// Parts `from`.. stacked outward from the icon on one side, kept on screen.
void placeRun(const Box& icon, double x, double width, const std::vector<double>& heights,
              size_t from, size_t to, bool below, std::vector<Box>& boxes) {
  std::vector<double> run(heights.begin() + static_cast<ptrdiff_t>(from),
                          heights.begin() + static_cast<ptrdiff_t>(to));
  double total = runHeight(run, 0);
  double top = below ? icon.bottom() + kGap : icon.y - kGap - total;
  top = std::clamp(top, kTopLimit, std::max(kTopLimit, kBottomLimit - total));
  // The first part lies nearest to the icon.
  double edge = below ? top : top + total;
  for (double h : run) {
    boxes.push_back({x, below ? edge : edge - h, width, h});
    edge += below ? h + kGap : -(h + kGap);
  }
}

}  // namespace

std::vector<Box> stackFromIcon(const Box& icon, double width, const std::vector<double>& heights) {
  width = std::isfinite(width) ? std::clamp(width, 100.0, kScreenWidth - 2 * kMargin) : 250;
  double x = icon.x + icon.width / 2 < kScreenWidth / 2 ? icon.x : icon.right() - width;
  x = std::clamp(x, kMargin, kScreenWidth - kMargin - width);
  double spaceBelow = kBottomLimit - icon.bottom() - kGap;
  double spaceAbove = icon.y - kGap - kTopLimit;
  double total = runHeight(heights, 0);
  // The side away from the nearer edge of the screen, unless only the other one has room.
  bool below = icon.y + icon.height / 2 < kScreenHeight / 2;
  if (total > (below ? spaceBelow : spaceAbove) && total <= (below ? spaceAbove : spaceBelow)) {
    below = !below;
  }
  std::vector<Box> boxes;
  if (total <= (below ? spaceBelow : spaceAbove) || heights.size() < 2) {
    placeRun(icon, x, width, heights, 0, heights.size(), below, boxes);
    return boxes;
  }
  // Too tall for either side: the first part (preview or widget) goes to the other side.
  below = spaceBelow >= spaceAbove;
  placeRun(icon, x, width, heights, 0, 1, !below, boxes);
  placeRun(icon, x, width, heights, 1, heights.size(), below, boxes);
  return boxes;
}

Box drawLiftedIcon(cairo_t* cr, const HomeScreen& home, id iconView) {
  const IconEntry* entry = iconEntryFor(home, iconView);
  if (!entry) return iconSlot(0);
  drawIcon(cr, home, *entry, true);
  return iconSlot(fields<SBIconViewObj>(iconView)->gridSlot);
}

void drawPreview(cairo_t* cr, const HomeScreen& home, id previewController, id iconView,
                 const Box& box) {
  if (!previewController) return;
  // A controller whose view was never asked for shows the host's platter as it comes.
  id view = fields<UIViewControllerObj>(previewController)->view;
  if (view && !shown(view)) return;
  Look look = hostLook();
  double alpha = view ? alphaOf(view) : 1;
  withAlpha(cr, alpha, [&] {
    Rgba fill =
        hasColour(view) ? colourOf(fields<UIViewObj>(view)->backgroundColor) : look.material;
    fillRounded(cr, box, cornerRadiusOf(view, 13), fill);
    std::string name;
    if (const IconEntry* e = iconEntryFor(home, iconView)) {
      name = textOf(fields<SBIconObj>(fields<SBIconViewObj>(e->iconView)->icon)->displayName);
    }
    drawText(cr, name, box.x + 16, box.y + 28, box.width - 32, {15, true, look.label});
    drawText(cr, "Widget preview", box.x + 16, box.y + 48, box.width - 32,
             {12, false, look.secondary});
  });
}

Box placeContextMenu(cairo_t* cr, const HomeScreen& home, const ContextMenuFrame& views,
                     const Box& icon, id menuView, double menuHeight) {
  id previewView = views.previewController
                       ? fields<UIViewControllerObj>(views.previewController)->view.get()
                       : nil;
  bool preview = views.previewController && (!previewView || shown(previewView));
  std::vector<double> heights;
  if (preview) heights.push_back(kPreviewHeight);
  heights.push_back(menuHeight);
  std::vector<Box> boxes =
      stackFromIcon(icon, fields<UIViewObj>(menuView)->frame.size.width, heights);
  if (preview) drawPreview(cr, home, views.previewController, views.iconView, boxes.front());
  return boxes.back();
}

void drawShadow(cairo_t* cr, id shadowView, const Box& box, double radius) {
  if (!shown(shadowView)) return;
  double m = kShadowBlur * 2;
  Layer layer(box.width + 2 * m, box.height + 2 * m);
  fillRounded(layer.cr(), {m, m + 6, box.width, box.height}, radius, {0, 0, 0, 0.45});
  boxBlur(layer.surface(), static_cast<int>(kShadowBlur * kPictureScale / 2));
  paintLayer(cr, layer, box.x - m, box.y - m, alphaOf(shadowView));
}

void drawRow(cairo_t* cr, const Box& row, const std::string& title, const std::string& subtitle,
             id image, const Rgba& tint, double alpha) {
  Look look = hostLook();
  double textWidthLeft = row.width - 32 - (image ? 30 : 0);
  if (subtitle.empty()) {
    drawText(cr, title, row.x + 16, row.y + row.height / 2 + 5.5, textWidthLeft,
             {15, false, look.label}, alpha);
  } else {
    drawText(cr, title, row.x + 16, row.y + row.height / 2 - 1, textWidthLeft,
             {15, false, look.label}, alpha);
    drawText(cr, subtitle, row.x + 16, row.y + row.height / 2 + 14, textWidthLeft,
             {11.5, false, look.secondary}, alpha);
  }
  if (image) {
    Box icon{row.right() - 16 - 22, row.y + (row.height - 22) / 2, 22, 22};
    drawItemImage(cr, image, icon, tint, alpha);
  }
}

bool menuIsOpen(const HomeScreen& home) { return home.menu() && home.menu()->isOpen(); }

}  // namespace qv::host::render
