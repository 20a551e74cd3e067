// How the host of each OS family builds, styles and runs an icon's menu.
#pragma once

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "springboard/home_screen.h"

namespace qv::host {

// One row of the version-12 platter: its view and the action it shows.
struct PlatterRowViews {
  id view = nil;
  id title = nil;
  id subtitle = nil;
  id image = nil;
};

// What the context menus of version 13 and later share: the pressed icon, the preview
// platter's controller (its view is the preview) and the shadow.
struct ContextMenuFrame {
  id iconView = nil;
  id previewController = nil;
  id shadow = nil;
};

// Versions 14, 15 and 16: the backdrop view and the list whose subviews are the action views.
struct ListMenuViews : ContextMenuFrame {
  id background = nil;
  id list = nil;
};

// Version 13: the group whose subviews are rows and separators, in order.
struct GroupMenuViews : ContextMenuFrame {
  id group = nil;
  id groupBackground = nil;
};

// Version 12: the force-touch platter.
struct PlatterViews {
  id iconView = nil;
  id platterController = nil;
  id effect = nil;
  double effectStrength = 0;
  id backdropTint = nil;  // only while the backdrop settings use the tint view
  double backdropTintAlpha = 0;
  bool widget = false;
  std::vector<PlatterRowViews> rows;
  std::vector<id> keylines;  // keylines[i] lies below rows[i]
};

// The views an open menu is drawn from, of the kind its family builds; nothing while closed.
using MenuViews = std::variant<std::monostate, ListMenuViews, GroupMenuViews, PlatterViews>;

class MenuPresenter {
 public:
  virtual ~MenuPresenter() = default;

  // A long press: the host asks the icon view (or its data provider) for the menu's app and
  // items, hands it the home-screen items, then builds and styles the menu's views.
  virtual void open(id iconView) = 0;
  virtual bool isOpen() const = 0;
  // The app of the open menu, as the host asked the icon for it.
  virtual std::string bundleID() const = 0;
  // The items shown, in order.
  virtual std::vector<id> items() const = 0;
  // Whether the row of the item at `index` is hidden, so that the user cannot tap it.
  virtual bool itemHidden(size_t /*index*/) const { return false; }
  // The user chooses the item at `index`.
  virtual void pick(size_t index) = 0;
  virtual void close() = 0;
  // The menu as the dump shows it (null when closed).
  virtual Json dump() const = 0;
  // An alert came on screen; the version-13 host lays out an action group for it.
  virtual void alertPresented(id /*alert*/) {}
  virtual Json alertDump() const { return Json(); }
  // The open menu's views, read-only, for pictures (empty when closed).
  virtual MenuViews views() const { return {}; }
};

std::unique_ptr<MenuPresenter> makeMenuPresenter14();
// Versions 15 and 16: the version-14 flow over the context-menu classes that replaced 14's.
std::unique_ptr<MenuPresenter> makeMenuPresenter15();
std::unique_ptr<MenuPresenter> makeMenuPresenter13();
std::unique_ptr<MenuPresenter> makeMenuPresenter12();

// What the host does with one of its own items once it is allowed to run it.
void performHostItem(id item, const std::string& bundleID);

// Shared pieces of the dumps.
Json colorJson(id color);
Json viewJson(id view);
Json itemJson(id item);
Json imageJson(id image);

}  // namespace qv::host
