#include "springboard/context_menu_views.h"

#include "runtime/class_builder.h"

namespace qv::host {
namespace {

Class gActionView;

id actionViewInitWithFrame(id self, SEL cmd, CGRect frame) {
  self = sendSuper<id>(gActionView, self, cmd, frame);
  actionView(self)->titleLabel = newLabel("");
  actionView(self)->subtitleLabel = newLabel("");
  actionView(self)->imageView = newView("UIImageView");
  return self;
}
id actionViewTitleLabel(id self, SEL) { return actionView(self)->titleLabel; }
id actionViewSubtitleLabel(id self, SEL) { return actionView(self)->subtitleLabel; }

BOOL managerShouldActivate(id, SEL, id, id, NSUInteger) { return YES; }

}  // namespace

id newView(const char* className) {
  return objc_autorelease(msgSend<id>(msgSend<id>(objc_getClass(className), SELECTOR("alloc")),
                                      SELECTOR("initWithFrame:"), CGRect{{0, 0}, {250, 44}}));
}

id newLabel(const std::string& text) {
  id label = newView("UILabel");
  if (!text.empty()) msgSend<void>(label, SELECTOR("setText:"), makeString(text));
  return label;
}

Class registerContextMenuCommonClasses(const char* actionViewClass, const char* shadowSuperclass) {
  ClassBuilder<UIViewObj>("UIVisualEffectView", "UIView");
  ClassBuilder<UIViewObj>("_UICutoutShadowView", shadowSuperclass);
  ClassBuilder<UIViewControllerObj>("SBHIconViewContextMenuWrapperViewController",
                                    "UIViewController");
  ClassBuilder<>("SBHIconManager", "NSObject")
      .method("iconView:shouldActivateApplicationShortcutItem:atIndex:", managerShouldActivate);
  gActionView = ClassBuilder<ContextActionViewObj>(actionViewClass, "UIView")
                    .method("initWithFrame:", actionViewInitWithFrame)
                    .method("titleLabel", actionViewTitleLabel)
                    .method("subtitleLabel", actionViewSubtitleLabel)
                    .cls();
  return gActionView;
}

ContextMenuPresenter::ContextMenuPresenter(Family family, const char* removeTitle)
    : family_(family), removeTitle_(removeTitle) {}

void ContextMenuPresenter::open(id iconView) {
  close();
  iconView_ = iconView;
  bundleID_ = stdString(msgSend<id>(iconView, SELECTOR("applicationBundleIdentifierForShortcuts")));
  std::vector<id> appItems =
      arrayItems(msgSend<id>(iconView, SELECTOR("applicationShortcutItems")));
  msgSend<void>(iconView, SELECTOR("setApplicationShortcutItems:"), homeScreenItems(iconView));
  for (id item : appItems) items_.emplace_back(item);
  for (id item : arrayItems(msgSend<id>(iconView, SELECTOR("_homeScreenShortcutItems")))) {
    items_.emplace_back(item);
  }
  buildViews(appItems.size());
  msgSend<void>(wrapper_.get(), SELECTOR("viewWillAppear:"), YES);
  layoutView(shadow_);
  open_ = true;
}

std::vector<id> ContextMenuPresenter::items() const {
  std::vector<id> out;
  for (const Strong& s : items_) out.push_back(s.get());
  return out;
}

void ContextMenuPresenter::pick(size_t index) {
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

void ContextMenuPresenter::close() {
  open_ = false;
  iconView_.reset();
  items_.clear();
  shadow_.reset();
  wrapper_.reset();
  releaseViews();
}

std::vector<Strong> ContextMenuPresenter::addItemViews(id list, const char* viewClass) const {
  std::vector<Strong> views;
  for (const Strong& item : items_) {
    id view = newView(viewClass);
    msgSend<void>(actionView(view)->titleLabel.get(), SELECTOR("setText:"),
                  makeString(itemTitle(item)));
    std::string subtitle = itemSubtitle(item);
    if (!subtitle.empty()) {
      msgSend<void>(actionView(view)->subtitleLabel.get(), SELECTOR("setText:"),
                    makeString(subtitle));
    }
    msgSend<void>(view, SELECTOR("setTrailingImage:"), static_cast<id>(nil));
    addSubview(list, view);
    views.emplace_back(view);
  }
  return views;
}

MenuViews ContextMenuPresenter::views() const {
  if (!open_) return {};
  ContextMenuFrame frame{iconView_, wrapper_, shadow_, {}};
  for (size_t i = 0; i < items_.size(); i++) frame.itemImageViews.push_back(itemImageView(i));
  return familyViews(frame);
}

// The home screen's own items for this icon.
id ContextMenuPresenter::homeScreenItems(id iconView) const {
  std::vector<id> out;
  out.push_back(makeShortcutItem(rearrangeItemType(), "Edit Home Screen"));
  if (!msgSend<BOOL>(iconView, SELECTOR("isFolderIcon"))) {
    out.push_back(makeShortcutItem(removeItemType(family_), removeTitle_));
    out.push_back(makeShortcutItem(shareItemType(), "Share App"));
  }
  return makeArray(out);
}

}  // namespace qv::host
