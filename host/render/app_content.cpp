// An app's own screen, which the host does not have: a stand-in in the app's icon colour with
// its name, some content blocks with sharp edges, as its page and switcher card show it.
#include "render/render_internal.h"

namespace qv::host::render {

Box drawAppContent(cairo_t* cr, const HomeScreen& home, const std::string& bundleID,
                   const Box& box) {
  const AppState* app = nullptr;
  for (const AppState& a : home.apps()) {
    if (a.setup.bundleID == bundleID) app = &a;
  }
  Rgba colour = app ? averageColour(app->iconImage) : Rgba{0.5, 0.5, 0.5, 1};
  std::string name = app ? app->setup.name : bundleID;
  double luminance = 0.299 * colour.red + 0.587 * colour.green + 0.114 * colour.blue;
  Rgba ink = luminance > 0.6 ? Rgba{0, 0, 0, 1} : Rgba{1, 1, 1, 1};
  double u = box.width / kScreenWidth;  // the content is laid out for a full screen

  fillRounded(cr, box, 0, colour);
  fillRounded(cr, {box.x, box.y, box.width, 120 * u}, 0,
              {colour.red * 0.8, colour.green * 0.8, colour.blue * 0.8, 1});
  drawText(cr, "9:41", box.x + 24 * u, box.y + 32 * u, 60 * u, {15 * u, true, ink, Align::Centre});
  Box nameBox =
      drawText(cr, name, box.x + 20 * u, box.y + 98 * u, box.width - 40 * u, {30 * u, true, ink});
  for (int i = 0; i < 5; i++) {
    Box block{box.x + 20 * u, box.y + (150 + i * 124) * u, box.width - 40 * u, 104 * u};
    fillRounded(cr, block, 14 * u, {1, 1, 1, 0.92});
    cairo_arc(cr, block.x + 42 * u, block.y + 52 * u, 24 * u, 0, 2 * kPi);
    cairo_set_source_rgba(cr, colour.red, colour.green, colour.blue, 1);
    cairo_fill(cr);
    fillRounded(cr, {block.x + 80 * u, block.y + 34 * u, block.width - 110 * u, 12 * u}, 6 * u,
                {0.3, 0.3, 0.33, 1});
    fillRounded(cr, {block.x + 80 * u, block.y + 58 * u, block.width - 160 * u, 12 * u}, 6 * u,
                {0.65, 0.65, 0.68, 1});
  }
  return nameBox;
}

}  // namespace qv::host::render
