// Shared pieces of the picture: layers, the host's own look, reading views, shapes and images.
#pragma once

#include <cairo.h>

#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "render/renderer.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_objects.h"

namespace qv::host::render {

constexpr double kPi = std::numbers::pi;

// A transparent bitmap of w x h points at the picture's scale, with a context that draws on
// it in points.
class Layer {
 public:
  Layer(double width, double height);
  ~Layer();
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;
  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Paints a layer's pixels with their top-left corner at (x, y) points.
void paintLayer(cairo_t* cr, const Layer& layer, double x, double y, double alpha = 1);

// What the host draws itself, for the interface style: text, menus' and alerts' own material.
struct Look {
  Rgba label, secondary, material, hairline;
};
Look hostLook();

// ---- reading the host's views ----
bool shown(id view);                              // there, not hidden, not fully transparent
double alphaOf(id view);                          // 0 for nil
Rgba colourOf(id color);                          // all zero for nil
bool hasColour(id view);                          // a background colour was set
double cornerRadiusOf(id view, double fallback);  // the layer's, else `fallback`
std::string textOf(id string);                    // "" for nil or a non-string
std::string labelText(id label);                  // "" when the label is missing or hidden
// A badge value as shown: a number's digits or a string's text.
std::string badgeText(id value);

// ---- shapes and images ----
void roundedRect(cairo_t* cr, const Box& box, double radius);
void fillRounded(cairo_t* cr, const Box& box, double radius, const Rgba& colour, double alpha = 1);
void hairline(cairo_t* cr, double x1, double y, double x2, const Rgba& colour);
// Draws `fn` into a group painted at `alpha` (a view's alpha over everything in it).
void withAlpha(cairo_t* cr, double alpha, const std::function<void()>& fn);
// The image stretched over `box`.
void drawImage(cairo_t* cr, id image, const Box& box, double alpha);
// A template image (rendering mode 2) in `tint`; any other image as drawn.
void drawItemImage(cairo_t* cr, id image, const Box& box, const Rgba& tint, double alpha);
// The mean colour of an image's pixels, opaque; grey when it has none.
Rgba averageColour(id image);

// ---- text (DejaVu Sans) ----
enum class Align { Left, Centre, Right };
struct TextStyle {
  double size = 13;
  bool bold = false;
  Rgba colour{1, 1, 1, 1};
  Align align = Align::Left;
};
double textWidth(cairo_t* cr, const std::string& text, const TextStyle& style);
// One line with its baseline at `baseline`, placed in the column [x, x + width] by the style's
// alignment and shortened with an ellipsis to fit; returns the box the text occupies.
Box drawText(cairo_t* cr, const std::string& text, double x, double baseline, double width,
             const TextStyle& style, double alpha = 1);
// Lines of at most `width`, broken at blanks (a word too long for a line is shortened).
std::vector<std::string> wrapText(cairo_t* cr, const std::string& text, double width,
                                  const TextStyle& style, size_t maxLines);

// ---- blur ----
// Three box-blur passes each way over premultiplied pixels, edges extended.
void boxBlur(cairo_surface_t* surface, int radiusPixels);
// The radius of the view's layer's "gaussianBlur" filter, 0 without one.
double gaussianBlurRadius(id view);
// Draws `content` (given its box in the layer) for a view: blurred by its layer's filter,
// clipped to its bounds with `radius`, at the view's alpha.
void drawFilteredView(cairo_t* cr, id view, const Box& box, double radius, double scale,
                      const std::function<void(cairo_t*, const Box&)>& content);
// The home screen behind a menu or the switcher: blurred by `blurPoints`, then tinted.
void drawBackdrop(cairo_t* cr, const Layer& home, double blurPoints, const Rgba& tint,
                  double tintAlpha);

// ---- the home screen ----
Box iconSlot(long slot);  // the icon image's square for a grid slot
void drawWallpaper(cairo_t* cr, const HomeScreen& home);
void drawStatusBar(cairo_t* cr, const Rgba& colour);
// One icon view at its slot: image or tile, tint, badge, and the label unless `imageOnly`.
void drawIcon(cairo_t* cr, const HomeScreen& home, const IconEntry& entry, bool imageOnly);
void drawHomeScreen(cairo_t* cr, const HomeScreen& home, RenderedLayout* layout);
const IconEntry* iconEntryFor(const HomeScreen& home, id iconView);

// ---- menus ----
// Boxes of the given heights stacked away from the pressed icon (below it in the upper half of
// the screen, else above), `width` wide, aligned with its nearer side.
std::vector<Box> stackFromIcon(const Box& icon, double width, const std::vector<double>& heights);
// The pressed icon above the backdrop, as the host lifts it; returns its box.
Box drawLiftedIcon(cairo_t* cr, const HomeScreen& home, id iconView);
// The preview platter of the wrapper controller's view (shown unless hidden).
void drawPreview(cairo_t* cr, const HomeScreen& home, id previewController, id iconView,
                 const Box& box);
void drawShadow(cairo_t* cr, id shadowView, const Box& box, double radius);
// A context menu's layout: the preview platter (unless its view is hidden) and the menu view,
// `menuHeight` tall, stacked from the lifted icon. Draws the preview; returns the menu's box.
Box placeContextMenu(cairo_t* cr, const HomeScreen& home, const ContextMenuFrame& views,
                     const Box& icon, id menuView, double menuHeight);
// One menu row: title, subtitle and the image at the trailing end.
void drawRow(cairo_t* cr, const Box& row, const std::string& title, const std::string& subtitle,
             id image, const Rgba& tint, double alpha);
bool menuIsOpen(const HomeScreen& home);
void drawMenu14(cairo_t* cr, const HomeScreen& home, const ListMenuViews& views,
                const Layer& homeLayer, RenderedLayout* layout);
void drawMenu13(cairo_t* cr, const HomeScreen& home, const GroupMenuViews& views,
                const Layer& homeLayer, RenderedLayout* layout);
void drawPlatter12(cairo_t* cr, const HomeScreen& home, const PlatterViews& views,
                   const Layer& homeLayer, RenderedLayout* layout);

// ---- apps, the switcher, alerts ----
// A stand-in for an app's own screen in its icon colour with its name; returns the name's box.
Box drawAppContent(cairo_t* cr, const HomeScreen& home, const std::string& bundleID,
                   const Box& box);
void drawAppPage(cairo_t* cr, const HomeScreen& home, RenderedLayout* layout);
void drawSwitcher(cairo_t* cr, const HomeScreen& home, const Layer& homeLayer,
                  RenderedLayout* layout);
void drawAlert(cairo_t* cr, id alert, RenderedLayout* layout);
void drawAuthPrompt(cairo_t* cr, const std::string& reason);

}  // namespace qv::host::render
