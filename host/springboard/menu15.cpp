// The context menu of versions 15 and 16: the version-14 flow, over the classes that replaced
// version 14's. The list view holds its own backdrop and takes the menu in one argument; each
// item is a cell content view with the labels and trailing image 14's action view had.
#include "runtime/class_builder.h"
#include "springboard/context_menu_views.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_internal.h"

namespace qv::host {

namespace {

struct ListViewObj : ActionsListObj {
  Strong backgroundView;
};

struct ContextMenuViewObj : UIViewObj {
  Strong currentListView;
};

id cellTrailingImageView(id self, SEL) { return actionView(self)->imageView; }
void cellSetTrailingImage(id self, SEL, id image) {
  msgSend<void>(actionView(self)->imageView.get(), SELECTOR("setImage:"), image);
}

void listSetDisplayedMenu(id self, SEL, id menu) {
  fields<ListViewObj>(self)->displayedMenu = menu;
}
id listBackgroundView(id self, SEL) { return fields<ListViewObj>(self)->backgroundView; }
void listSetBackgroundView(id self, SEL, id view) {
  fields<ListViewObj>(self)->backgroundView = view;
}
id menuViewCurrentListView(id self, SEL) {
  return fields<ContextMenuViewObj>(self)->currentListView;
}

class Menu15 : public ContextMenuPresenter {
 public:
  Menu15() : ContextMenuPresenter(Family::V14, "Remove App") {}

 private:
  void buildViews(size_t) override {
    menuView_ = newView("_UIContextMenuView");
    list_ = newView("_UIContextMenuListView");
    fields<ContextMenuViewObj>(menuView_)->currentListView = list_;
    msgSend<void>(list_.get(), SELECTOR("setBackgroundView:"), newView("UIVisualEffectView"));
    wrapper_ = Strong::adopt(
        msgSend<id>(objc_getClass("SBHIconViewContextMenuWrapperViewController"), SELECTOR("new")));
    shadow_ = newView("_UICutoutShadowView");
    itemViews_ = addItemViews(list_, "_UIContextMenuCellContentView");
    msgSend<void>(list_.get(), SELECTOR("setDisplayedMenu:"), makeArray(items()));
  }

  void releaseViews() override {
    menuView_.reset();
    list_.reset();
    itemViews_.clear();
  }

  id itemImageView(size_t index) const override { return actionView(itemViews_[index])->imageView; }

  id background() const { return list_ ? fields<ListViewObj>(list_)->backgroundView.get() : nil; }

  MenuViews familyViews(const ContextMenuFrame& frame) const override {
    return ListMenuViews{frame, background(), list_};
  }

  std::vector<Strong> itemViews_;
  Strong menuView_, list_;
};

}  // namespace

void registerMenuClasses15() {
  ClassBuilder<UIViewObj>("UIRoundedRectShadowView", "UIView");
  Class cell =
      registerContextMenuCommonClasses("_UIContextMenuCellContentView", "UIRoundedRectShadowView");
  defineMethod(cell, "trailingImageView", cellTrailingImageView);
  defineMethod(cell, "setTrailingImage:", cellSetTrailingImage);
  ClassBuilder<ListViewObj>("_UIContextMenuListView", "UIView")
      .method("setDisplayedMenu:", listSetDisplayedMenu)
      .method("backgroundView", listBackgroundView)
      .method("setBackgroundView:", listSetBackgroundView);
  ClassBuilder<ContextMenuViewObj>("_UIContextMenuView", "UIView")
      .method("currentListView", menuViewCurrentListView);
}

std::unique_ptr<MenuPresenter> makeMenuPresenter15() { return std::make_unique<Menu15>(); }

}  // namespace qv::host
