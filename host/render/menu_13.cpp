// The version-13 context menu: the action group with its own background view, rows and the
// thin and thick separators between them, beside the lifted icon and its preview.
#include <algorithm>
#include <cmath>

#include "render/render_internal.h"
#include "springboard/context_menu_views.h"

namespace qv::host::render {

namespace {

constexpr double kBackdropBlur = 14, kBackdropDim = 0.3;
constexpr double kThickSeparator = 8, kThinSeparator = 0.5;

struct Entry {
  id view;
  enum class Kind { Row, Thin, Thick } kind;
  double height;
};

// The group's shown subviews in order: rows and separators.
std::vector<Entry> groupEntries(id group) {
  std::vector<Entry> out;
  for (const Strong& sub : fields<UIViewObj>(group)->subviews) {
    if (!shown(sub)) continue;
    if (isKind(sub, objc_getClass("_UIInterfaceActionBlankSeparatorView"))) {
      out.push_back({sub, Entry::Kind::Thick, kThickSeparator});
    } else if (isKind(sub, objc_getClass("_UIInterfaceActionSeparatorView"))) {
      out.push_back({sub, Entry::Kind::Thin, kThinSeparator});
    } else if (isKind(sub, objc_getClass("UIInterfaceActionRepresentationView"))) {
      double h = fields<UIViewObj>(sub)->frame.size.height;
      out.push_back(
          {sub, Entry::Kind::Row, std::isfinite(h) && h > 0 ? std::clamp(h, 32.0, 88.0) : 44});
    }
  }
  return out;
}

// The action view a row holds.
ContextActionViewObj* rowContent(id row) {
  for (const Strong& sub : fields<UIViewObj>(row)->subviews) {
    if (isKind(sub, objc_getClass("_UIContextMenuActionView"))) return actionView(sub);
  }
  return nullptr;
}

}  // namespace

void drawMenu13(cairo_t* cr, const HomeScreen& home, const GroupMenuViews& views,
                const Layer& homeLayer, RenderedLayout* layout) {
  drawBackdrop(cr, homeLayer, kBackdropBlur, {0, 0, 0, 1}, kBackdropDim);
  Box icon = drawLiftedIcon(cr, home, views.iconView);

  id group = views.actions.group;
  std::vector<Entry> entries = groupEntries(group);
  double height = 0;
  for (const Entry& e : entries) height += e.height;
  Box box = placeContextMenu(cr, home, views, icon, group, height);
  double radius = cornerRadiusOf(group, 13);
  drawShadow(cr, views.shadow, box, radius);
  if (!shown(group)) return;
  Look look = hostLook();
  withAlpha(cr, alphaOf(group), [&] {
    cairo_save(cr);
    roundedRect(cr, box, radius);
    cairo_clip(cr);
    // The group's colour, and over it the host's own material unless that view is hidden.
    if (hasColour(group))
      fillRounded(cr, box, 0, colourOf(fields<UIViewObj>(group)->backgroundColor));
    id background = fields<GroupViewObj>(group)->backgroundView;
    if (shown(background)) fillRounded(cr, box, 0, look.material, alphaOf(background));
    double y = box.y;
    for (const Entry& e : entries) {
      Box part{box.x, y, box.width, e.height};
      if (e.kind == Entry::Kind::Thick) {
        fillRounded(cr, part, 0, {0, 0, 0, 0.14}, alphaOf(e.view));
      } else if (e.kind == Entry::Kind::Thin) {
        hairline(cr, box.x, y, box.right(), look.hairline);
      } else if (ContextActionViewObj* v = rowContent(e.view)) {
        id imageView = v->imageView;
        id image = shown(imageView) ? fields<UIImageViewObj>(imageView)->image.get() : nil;
        id tint = fields<UIViewObj>(imageView)->tintColor;
        drawRow(cr, part, labelText(v->titleLabel), labelText(v->subtitleLabel), image,
                tint ? colourOf(tint) : look.label, alphaOf(e.view));
        if (layout) layout->menuRows.push_back(part);
      }
      y += e.height;
    }
    cairo_restore(cr);
  });
  if (layout) layout->menu = box;
}

}  // namespace qv::host::render
