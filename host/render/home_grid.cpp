// The wallpaper and the icon grid, each icon as its view says: image, label, badge, dimming.
#include <cmath>

#include "render/render_internal.h"
#include "uikit/colour_text.h"

namespace qv::host::render {

namespace {

constexpr int kColumns = 4;
constexpr int kRows = 7;  // icons placed further down lie off this page
constexpr double kIconSize = 60, kIconRadius = 13.5;
constexpr double kLeft = 27, kTop = 72, kColumnPitch = 92, kRowPitch = 102;
const Rgba kBadgeRed{1, 0.231, 0.188, 1};
const Rgba kWhite{1, 1, 1, 1};

// Folders and widgets have no image of their own here: a frosted tile.
void drawTile(cairo_t* cr, IconEntry::Kind kind, const Box& box) {
  if (kind == IconEntry::Kind::Folder) {
    fillRounded(cr, box, kIconRadius, {1, 1, 1, 0.35});
    for (int i = 0; i < 9; i++) {
      Box mini{box.x + 9 + (i % 3) * 15, box.y + 9 + (i / 3) * 15, 12, 12};
      fillRounded(cr, mini, 3, {1, 1, 1, 0.85});
    }
    return;
  }
  fillRounded(cr, box, kIconRadius, {1, 1, 1, 0.88});
  cairo_arc(cr, box.x + 22, box.y + 24, 9, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 1, 0.8, 0, 1);
  cairo_fill(cr);
  fillRounded(cr, {box.x + 12, box.y + 40, 36, 5}, 2.5, {0.55, 0.55, 0.6, 1});
}

void drawBadge(cairo_t* cr, const HomeScreen& home, const IconEntry& entry, const Box& icon,
               double alpha) {
  auto* v = fields<SBIconViewObj>(entry.iconView);
  if (!shown(v->accessoryView)) return;
  std::string text;
  for (const AppState& a : home.apps()) {
    if (a.setup.bundleID == entry.identifier && a.appObject) {
      text = badgeText(fields<SBApplicationObj>(a.appObject)->badgeValue);
    }
  }
  TextStyle style{13, true, kWhite, Align::Centre};
  double width = std::max(22.0, std::min(textWidth(cr, text, style) + 12, 60.0));
  Box badge{icon.right() + 8 - width, icon.y - 8, width, 22};
  double a = alpha * alphaOf(v->accessoryView);
  fillRounded(cr, badge, 11, kBadgeRed, a);
  drawText(cr, text, badge.x + 3, badge.y + 16, badge.width - 6, style, a);
}

}  // namespace

Box iconSlot(long slot) {
  long col = slot % kColumns, row = slot / kColumns;
  return {kLeft + static_cast<double>(col) * kColumnPitch,
          kTop + static_cast<double>(row) * kRowPitch, kIconSize, kIconSize};
}

void drawWallpaper(cairo_t* cr, const HomeScreen& home) {
  Rgba colour = parseColourText(home.wallpaperColorHex()).value_or(Rgba{0, 0, 0, 1});
  fillRounded(cr, {0, 0, kScreenWidth, kScreenHeight}, 0, colour);
  if (home.wallpaperImage().empty()) return;
  cairo_surface_t* s = cairo_image_surface_create_from_png(home.wallpaperImage().c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    double w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    // Filled edge to edge, centred, keeping its proportions.
    double k = std::max(kScreenWidth / w, kScreenHeight / h);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, kScreenWidth, kScreenHeight);
    cairo_clip(cr);
    cairo_translate(cr, (kScreenWidth - w * k) / 2, (kScreenHeight - h * k) / 2);
    cairo_scale(cr, k, k);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  cairo_surface_destroy(s);
}

void drawStatusBar(cairo_t* cr, const Rgba& colour) {
  drawText(cr, "9:41", 24, 32, 60, TextStyle{15, true, colour, Align::Centre});
  fillRounded(cr, {kScreenWidth - 56, 21, 25, 12}, 3.5, colour, 0.9);
}

const IconEntry* iconEntryFor(const HomeScreen& home, id iconView) {
  for (const IconEntry& e : home.icons()) {
    if (iconView && e.iconView.get() == iconView) return &e;
  }
  return nullptr;
}

void drawIcon(cairo_t* cr, const HomeScreen& home, const IconEntry& entry, bool imageOnly) {
  id view = entry.iconView;
  if (!shown(view)) return;
  auto* v = fields<SBIconViewObj>(view);
  Box icon = iconSlot(v->gridSlot);
  double viewAlpha = alphaOf(view);
  withAlpha(cr, viewAlpha, [&] {
    // The image at the image alpha, then the tint over the icon's shape.
    double imageAlpha = std::isfinite(v->iconImageAlpha) ? v->iconImageAlpha : 1;
    cairo_save(cr);
    roundedRect(cr, icon, kIconRadius);
    cairo_clip(cr);
    id image = shown(v->imageView) ? fields<UIImageViewObj>(v->imageView)->image.get() : nil;
    withAlpha(cr, imageAlpha, [&] {
      if (image) {
        drawImage(cr, image, icon, 1);
      } else if (entry.kind != IconEntry::Kind::App) {
        drawTile(cr, entry.kind, icon);
      }
    });
    Rgba tint = colourOf(v->accessibilityTintColor);
    if (tint.alpha > 0 && (image || entry.kind != IconEntry::Kind::App)) {
      fillRounded(cr, icon, kIconRadius, {tint.red, tint.green, tint.blue, 1},
                  tint.alpha * kIconTintStrength);
    }
    cairo_restore(cr);
    if (imageOnly) return;
    std::string label = labelText(v->labelView);
    drawText(cr, label, icon.x - 14, icon.bottom() + 17, icon.width + 28,
             TextStyle{12, false, kWhite, Align::Centre},
             v->iconLabelAlpha * alphaOf(v->labelView));
    drawBadge(cr, home, entry, icon, v->iconAccessoryAlpha);
  });
}

void drawHomeScreen(cairo_t* cr, const HomeScreen& home, RenderedLayout* layout) {
  drawWallpaper(cr, home);
  drawStatusBar(cr, kWhite);
  for (const IconEntry& e : home.icons()) {
    if (!e.iconView) continue;
    long slot = fields<SBIconViewObj>(e.iconView)->gridSlot;
    if (slot < 0 || slot >= kColumns * kRows) continue;
    drawIcon(cr, home, e, false);
    if (layout) layout->icons.emplace_back(e.identifier, iconSlot(slot));
  }
}

}  // namespace qv::host::render
