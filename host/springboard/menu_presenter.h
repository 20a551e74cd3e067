// How the host of each OS family builds, styles and runs an icon's menu.
#pragma once

#include <memory>
#include <optional>
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
// platter's controller (its view is the preview), the shadow, and the image view of each item
// in item order.
struct ContextMenuFrame {
  id iconView = nil;
  id previewController = nil;
  id shadow = nil;
  std::vector<id> itemImageViews;
};

// Versions 14, 15 and 16: the backdrop view and the list whose subviews are the action views.
struct ListMenuViews : ContextMenuFrame {
  id background = nil;
  id list = nil;
};

// A version-13 interface-action group (a menu's, or an alert's): its subviews are the rows and
// the separators between them; each list is in order.
struct ActionGroupViews {
  id group = nil;
  std::vector<id> rows;
  std::vector<id> separators;
};

// Version 13: the action group of the items.
struct GroupMenuViews : ContextMenuFrame {
  ActionGroupViews actions;
};

// Version 12: the force-touch platter.
struct PlatterViews {
  id iconView = nil;
  id controller = nil;  // the force-touch controller that runs the platter
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
  // An alert came on screen; the version-13 host lays out an action group for it.
  virtual void alertPresented(id /*alert*/) {}
  // The group laid out for the last alert, if the family does that.
  virtual std::optional<ActionGroupViews> alertViews() const { return std::nullopt; }
  // The open menu's views, read-only, for whoever watches the menu (empty when closed).
  virtual MenuViews views() const { return {}; }
};

std::unique_ptr<MenuPresenter> makeMenuPresenter14();
// Versions 15 and 16: the version-14 flow over the context-menu classes that replaced 14's.
std::unique_ptr<MenuPresenter> makeMenuPresenter15();
std::unique_ptr<MenuPresenter> makeMenuPresenter13();
std::unique_ptr<MenuPresenter> makeMenuPresenter12();

// What the host does with one of its own items once it is allowed to run it.
void performHostItem(id item, const std::string& bundleID);

}  // namespace qv::host
