// The context menu of versions 14 to 16: the backdrop over the home screen, the lifted icon, the
// preview platter, the cut-out shadow and the actions list with its action views.
#include <algorithm>
#include <cmath>

#include "render/render_internal.h"
#include "springboard/context_menu_views.h"

namespace qv::host::render {

namespace {

constexpr double kBackdropBlur = 14, kBackdropDim = 0.3;

double rowHeight(id row) {
  double h = fields<UIViewObj>(row)->frame.size.height;
  return std::isfinite(h) && h > 0 ? std::clamp(h, 32.0, 88.0) : 44;
}

}  // namespace

void drawMenu14(cairo_t* cr, const HomeScreen& home, const ListMenuViews& views,
                const Layer& homeLayer, RenderedLayout* layout) {
  // The background view's alpha is how strongly the home screen behind is blurred and dimmed.
  if (shown(views.background)) {
    double a = alphaOf(views.background);
    drawBackdrop(cr, homeLayer, kBackdropBlur * a, {0, 0, 0, 1}, kBackdropDim * a);
  } else {
    paintLayer(cr, homeLayer, 0, 0);
  }
  Box icon = drawLiftedIcon(cr, home, views.iconView);

  id list = views.list;
  std::vector<id> rows;
  // Versions 15 and 16 call the item views cell content views.
  Class rowClass = objc_getClass(home.hostClasses() >= 15 ? "_UIContextMenuCellContentView"
                                                          : "_UIContextMenuActionView");
  for (const Strong& sub : fields<UIViewObj>(list)->subviews) {
    if (isKind(sub, rowClass) && shown(sub)) rows.push_back(sub);
  }
  double listHeight = 0;
  for (id row : rows) listHeight += rowHeight(row);
  Box box = placeContextMenu(cr, home, views, icon, list, listHeight);
  double radius = cornerRadiusOf(list, 13);
  drawShadow(cr, views.shadow, box, radius);
  if (!shown(list)) return;
  Look look = hostLook();
  withAlpha(cr, alphaOf(list), [&] {
    Rgba fill =
        hasColour(list) ? colourOf(fields<UIViewObj>(list)->backgroundColor) : look.material;
    fillRounded(cr, box, radius, fill);
    cairo_save(cr);
    roundedRect(cr, box, radius);
    cairo_clip(cr);
    double y = box.y;
    for (size_t i = 0; i < rows.size(); i++) {
      Box row{box.x, y, box.width, rowHeight(rows[i])};
      if (i > 0) hairline(cr, box.x, y, box.right(), look.hairline);
      ContextActionViewObj* v = actionView(rows[i]);
      id imageView = v->imageView;
      id image = shown(imageView) ? fields<UIImageViewObj>(imageView)->image.get() : nil;
      id tint = fields<UIViewObj>(imageView)->tintColor;
      drawRow(cr, row, labelText(v->titleLabel), labelText(v->subtitleLabel), image,
              tint ? colourOf(tint) : look.label, alphaOf(rows[i]));
      if (layout) layout->menuRows.push_back(row);
      y += row.height;
    }
    cairo_restore(cr);
  });
  if (layout) layout->menu = box;
}

}  // namespace qv::host::render
