// What the version-14 and version-13 context menus share: views, and the presenter's flow.
#pragma once

#include <string>
#include <vector>

#include "springboard/menu_presenter.h"
#include "springboard/springboard_objects.h"

namespace qv::host {

struct ContextActionViewObj : UIViewObj {
  Strong titleLabel;
  Strong subtitleLabel;
  Strong imageView;  // version 14: the trailing image view; version 13: the image view
};

struct BackgroundViewObj : UIViewObj {
  Strong visualEffectView;
};

struct ActionsListObj : UIViewObj {
  Strong displayedMenu;
  long animationStyle = 0;
};

inline ContextActionViewObj* actionView(id v) { return fields<ContextActionViewObj>(v); }

// Version 13's interface-action group: an action per row, a background view of its own.
struct InterfaceActionObj : objc_object {
  Strong title;
};

struct RepresentationViewObj : UIViewObj {
  Strong action;
  int actionReads = 0;
};

struct GroupViewObj : UIViewObj {
  Strong alertController;
  Strong backgroundView;  // the instance variable _backgroundView
};

// A new autoreleased view of the class, with a frame.
id newView(const char* className);
id newLabel(const std::string& text);

// Defines the shared classes (shadow, preview controller, icon manager, the action view with
// its labels); returns the action view class for the family to extend. Versions 15 and 16 name
// the action view otherwise and derive the shadow from another view class.
Class registerContextMenuCommonClasses(const char* actionViewClass = "_UIContextMenuActionView",
                                       const char* shadowSuperclass = "UIView");

// A context menu's life: the long press asks the icon view for its app and items and hands it
// the home-screen items; a chosen item goes through the icon manager. A family builds its own
// views for the items.
class ContextMenuPresenter : public MenuPresenter {
 public:
  // `removeTitle`: the family's title for its remove item.
  ContextMenuPresenter(Family family, const char* removeTitle);

  void open(id iconView) final;
  bool isOpen() const final { return open_; }
  std::string bundleID() const final { return bundleID_; }
  std::vector<id> items() const final;
  void pick(size_t index) final;
  void close() final;
  MenuViews views() const final;

 protected:
  // Builds the views for items_, the app's own `appItemCount` first, with wrapper_ and shadow_.
  virtual void buildViews(size_t appItemCount) = 0;
  virtual void releaseViews() = 0;
  // The image view of the item at `index`.
  virtual id itemImageView(size_t index) const = 0;
  // The family's own views for pictures, around what all context menus share.
  virtual MenuViews familyViews(const ContextMenuFrame& frame) const = 0;

  // One view of `viewClass` per item, its labels set and its trailing image cleared, each added
  // to `list` in item order (the action views of version 14, the cell views of 15 and 16).
  std::vector<Strong> addItemViews(id list, const char* viewClass) const;

  std::string bundleID_;
  Strong iconView_;
  std::vector<Strong> items_;
  Strong shadow_, wrapper_;

 private:
  id homeScreenItems(id iconView) const;

  Family family_;
  const char* removeTitle_;
  bool open_ = false;
};

}  // namespace qv::host
