// The frontmost app's page and the app switcher's cards, each blurred when its layer carries
// a blur filter.
#include <algorithm>
#include <cmath>

#include "render/render_internal.h"

namespace qv::host::render {

namespace {

constexpr double kCardGap = 14, kSideMargin = 16, kSmallestScale = 0.45;
constexpr double kCardRadius = 14;
constexpr double kBackdropBlur = 20, kBackdropDim = 0.45;

// The app a card shows: its layout's primary display item.
std::string cardApp(id card) {
  id layout = fields<SnapshotViewObj>(card)->appLayout;
  if (!layout || !isKind(layout, objc_getClass("SBAppLayout"))) return "";
  id map = fields<AppLayoutObj>(layout)->rolesToLayoutItemsMap;
  if (!isDictionary(map)) return "";
  id item = msgSend<id>(map, SELECTOR("objectForKey:"), makeInteger(1));
  if (!item || !isKind(item, objc_getClass("SBDisplayItem"))) return "";
  return textOf(fields<DisplayItemObj>(item)->bundleIdentifier);
}

double dimension(double v, double fallback) {
  return std::isfinite(v) && v > 1 ? std::min(v, 2000.0) : fallback;
}

// The app's small icon and name above its card, smaller over smaller cards.
void drawCardTitle(cairo_t* cr, const HomeScreen& home, const std::string& bundleID,
                   const Box& card, double scale) {
  double t = std::clamp(scale / 0.8, 0.75, 1.0);
  std::string name = bundleID;
  for (const AppState& a : home.apps()) {
    if (a.setup.bundleID != bundleID) continue;
    name = a.setup.name;
    Box icon{card.x, card.y - 10 - std::round(24 * t), std::round(24 * t), std::round(24 * t)};
    cairo_save(cr);
    roundedRect(cr, icon, 5.5 * t);
    cairo_clip(cr);
    drawImage(cr, a.iconImage, icon, 1);
    cairo_restore(cr);
  }
  double indent = std::round(24 * t) + 6 * t;
  drawText(cr, name, card.x + indent, card.y - 10 - 7 * t, card.width - indent,
           {13 * t, true, {1, 1, 1, 1}});
}

}  // namespace

void drawAppPage(cairo_t* cr, const HomeScreen& home, RenderedLayout* layout) {
  const std::string front = home.frontmostApp();
  Box screen{0, 0, kScreenWidth, kScreenHeight};
  fillRounded(cr, screen, 0, {0, 0, 0, 1});
  id page = nil;
  for (const Strong& p : switcherPages()) {
    if (stdString(fields<SwitcherPageObj>(p)->bundleIdentifier) == front) page = p;
  }
  Box name;
  auto content = [&](cairo_t* c, const Box& b) { name = drawAppContent(c, home, front, b); };
  if (page) {
    drawFilteredView(cr, page, screen, 0, 1, content);
  } else {
    content(cr, screen);
  }
  if (layout) {
    layout->page = screen;
    layout->pageName = name;
  }
}

void drawSwitcher(cairo_t* cr, const HomeScreen& home, const Layer& homeLayer,
                  RenderedLayout* layout) {
  drawBackdrop(cr, homeLayer, kBackdropBlur, {0, 0, 0, 1}, kBackdropDim);
  const std::vector<Strong>& cards = switcherCards();
  if (cards.empty()) {
    drawText(cr, "No apps open", 0, kScreenHeight / 2, kScreenWidth,
             {17, true, {1, 1, 1, 0.8}, Align::Centre});
    return;
  }
  // Side by side at the cards' own size, smaller when they would not fit (the rest run off
  // the right edge, as in a carousel).
  CGSize frame = fields<UIViewObj>(cards.front())->frame.size;
  double w = dimension(frame.width, 180), h = dimension(frame.height, 390);
  double n = static_cast<double>(cards.size());
  double scale = (kScreenWidth - 2 * kSideMargin - (n - 1) * kCardGap) / (n * w);
  scale = std::clamp(scale, kSmallestScale, std::min(1.0, (kScreenHeight - 200) / h));
  double cw = std::round(w * scale), ch = std::round(h * scale);
  double total = n * cw + (n - 1) * kCardGap;
  double x = std::round(total <= kScreenWidth - 2 * kSideMargin ? (kScreenWidth - total) / 2
                                                                : kSideMargin);
  double y = std::round((kScreenHeight - ch) / 2 + 10);
  for (const Strong& card : cards) {
    Box box{x, y, cw, ch};
    x += cw + kCardGap;
    if (box.x >= kScreenWidth) break;
    std::string app = cardApp(card);
    drawCardTitle(cr, home, app, box, scale);
    Box name;
    drawFilteredView(cr, card, box, cornerRadiusOf(card, kCardRadius) * scale, scale,
                     [&](cairo_t* c, const Box& b) { name = drawAppContent(c, home, app, b); });
    if (layout) {
      layout->cards.emplace_back(app, box);
      layout->cardNames.emplace_back(app,
                                     Box{box.x + name.x, box.y + name.y, name.width, name.height});
    }
  }
}

}  // namespace qv::host::render
