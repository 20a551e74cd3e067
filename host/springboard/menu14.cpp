// The version-14 context menu: preview platter, blurred background, cut-out shadow and an
// actions list of one action view per item.
#include "runtime/class_builder.h"
#include "springboard/context_menu_views.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_internal.h"

namespace qv::host {

namespace {

id actionViewImageView(id self, SEL) { return actionView(self)->imageView; }
void actionViewSetTrailingImage(id self, SEL, id image) {
  msgSend<void>(actionView(self)->imageView.get(), SELECTOR("setImage:"), image);
}

void backgroundSetEffectView(id self, SEL, id effect) {
  fields<BackgroundViewObj>(self)->visualEffectView = effect;
}
id backgroundEffectView(id self, SEL) { return fields<BackgroundViewObj>(self)->visualEffectView; }

void listSetDisplayedMenu(id self, SEL, id menu, NSInteger style, id) {
  fields<ActionsListObj>(self)->displayedMenu = menu;
  fields<ActionsListObj>(self)->animationStyle = style;
}

// ---- the presenter ----

class Menu14 : public MenuPresenter {
 public:
  void open(id iconView) override {
    close();
    iconView_ = iconView;
    bundleID_ =
        stdString(msgSend<id>(iconView, SELECTOR("applicationBundleIdentifierForShortcuts")));
    id appItems = msgSend<id>(iconView, SELECTOR("applicationShortcutItems"));
    msgSend<void>(iconView, SELECTOR("setApplicationShortcutItems:"), homeScreenItems(iconView));
    items_.clear();
    for (id item : arrayItems(appItems)) items_.emplace_back(item);
    for (id item : arrayItems(msgSend<id>(iconView, SELECTOR("_homeScreenShortcutItems")))) {
      items_.emplace_back(item);
    }
    buildViews();
    open_ = true;
  }

  bool isOpen() const override { return open_; }

  std::vector<id> items() const override {
    std::vector<id> out;
    for (const Strong& s : items_) out.push_back(s.get());
    return out;
  }

  void pick(size_t index) override {
    Strong item = items_.at(index);
    Strong iconView = iconView_;
    std::string bundleID = bundleID_;
    id manager = msgSend<id>(objc_getClass("SBHIconManager"), SELECTOR("new"));
    BOOL activate =
        msgSend<BOOL>(manager, SELECTOR("iconView:shouldActivateApplicationShortcutItem:atIndex:"),
                      iconView.get(), item.get(), static_cast<NSUInteger>(index));
    objc_release(manager);
    // The context menu closes once an item is chosen, whatever the manager decided.
    close();
    if (activate) performHostItem(item, bundleID);
  }

  void close() override {
    open_ = false;
    iconView_.reset();
    background_.reset();
    shadow_.reset();
    wrapper_.reset();
    list_.reset();
    itemViews_.clear();
    items_.clear();
  }

  Json dump() const override {
    if (!open_) return Json();
    Json menu = Json::object();
    menu.set("family", "14");
    menu.set("bundleID", bundleID_);
    Json items = Json::array();
    for (size_t i = 0; i < items_.size(); i++) {
      Json entry = itemJson(items_[i]);
      id view = itemViews_[i];
      id imageView = actionView(view)->imageView;
      entry.set("icon", imageJson(msgSend<id>(imageView, SELECTOR("image"))));
      entry.set("tint", colorJson(fields<UIViewObj>(imageView)->tintColor));
      items.push(entry);
    }
    menu.set("items", items);
    menu.set("hostItemsPassedOn", hostItemsJson());
    Json views = Json::object();
    views.set("background", viewJson(background_));
    views.set("shadow", viewJson(shadow_));
    views.set("preview", viewJson(msgSend<id>(wrapper_.get(), SELECTOR("view"))));
    views.set("list", viewJson(list_));
    menu.set("views", views);
    return menu;
  }

  MenuViews views() const override {
    MenuViews v;
    if (!open_) return v;
    v.iconView = iconView_;
    v.previewController = wrapper_;
    v.shadow = shadow_;
    v.background = background_;
    v.list = list_;
    return v;
  }

 private:
  // The home screen's own items for this icon.
  id homeScreenItems(id iconView) {
    std::vector<id> out;
    out.push_back(makeShortcutItem(rearrangeItemType(), "Edit Home Screen"));
    if (!msgSend<BOOL>(iconView, SELECTOR("isFolderIcon"))) {
      out.push_back(makeShortcutItem(removeItemType(Family::V14), "Remove App"));
      out.push_back(makeShortcutItem(shareItemType(), "Share App"));
    }
    return makeArray(out);
  }

  Json hostItemsJson() const {
    Json out = Json::array();
    for (id item : arrayItems(fields<SBIconViewObj>(iconView_)->homeScreenItems)) {
      out.push(itemType(item));
    }
    return out;
  }

  void buildViews() {
    background_ = newView("_UIElasticContextMenuBackgroundView");
    msgSend<void>(background_.get(), SELECTOR("setVisualEffectView:"),
                  newView("UIVisualEffectView"));
    wrapper_ = Strong::adopt(
        msgSend<id>(objc_getClass("SBHIconViewContextMenuWrapperViewController"), SELECTOR("new")));
    shadow_ = newView("_UICutoutShadowView");
    list_ = newView("_UIContextMenuActionsListView");
    itemViews_.clear();
    for (const Strong& item : items_) {
      id view = newView("_UIContextMenuActionView");
      msgSend<void>(actionView(view)->titleLabel.get(), SELECTOR("setText:"),
                    makeString(itemTitle(item)));
      std::string subtitle = itemSubtitle(item);
      if (!subtitle.empty()) {
        msgSend<void>(actionView(view)->subtitleLabel.get(), SELECTOR("setText:"),
                      makeString(subtitle));
      }
      msgSend<void>(view, SELECTOR("setTrailingImage:"), static_cast<id>(nil));
      addSubview(list_, view);
      itemViews_.emplace_back(view);
    }
    std::vector<id> shown;
    for (const Strong& s : items_) shown.push_back(s.get());
    msgSend<void>(list_.get(), SELECTOR("setDisplayedMenu:withAnimationStyle:alongsideAnimations:"),
                  makeArray(shown), static_cast<NSInteger>(0), static_cast<id>(nil));
    msgSend<void>(wrapper_.get(), SELECTOR("viewWillAppear:"), YES);
    layoutView(shadow_);
  }

  bool open_ = false;
  std::string bundleID_;
  Strong iconView_;
  std::vector<Strong> items_;
  std::vector<Strong> itemViews_;
  Strong background_, shadow_, wrapper_, list_;
};

}  // namespace

void registerMenuClasses14() {
  Class action = registerContextMenuCommonClasses();
  defineMethod(action, "trailingImageView", actionViewImageView);
  defineMethod(action, "setTrailingImage:", actionViewSetTrailingImage);
  ClassBuilder<BackgroundViewObj>("_UIElasticContextMenuBackgroundView", "UIView")
      .method("setVisualEffectView:", backgroundSetEffectView)
      .method("visualEffectView", backgroundEffectView);
  ClassBuilder<ActionsListObj>("_UIContextMenuActionsListView", "UIView")
      .method("setDisplayedMenu:withAnimationStyle:alongsideAnimations:", listSetDisplayedMenu);
}

std::unique_ptr<MenuPresenter> makeMenuPresenter14() { return std::make_unique<Menu14>(); }

}  // namespace qv::host
