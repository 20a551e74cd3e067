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

class Menu14 : public ContextMenuPresenter {
 public:
  Menu14() : ContextMenuPresenter(Family::V14, "Remove App") {}

 private:
  void buildViews(size_t) override {
    background_ = newView("_UIElasticContextMenuBackgroundView");
    msgSend<void>(background_.get(), SELECTOR("setVisualEffectView:"),
                  newView("UIVisualEffectView"));
    wrapper_ = Strong::adopt(
        msgSend<id>(objc_getClass("SBHIconViewContextMenuWrapperViewController"), SELECTOR("new")));
    shadow_ = newView("_UICutoutShadowView");
    list_ = newView("_UIContextMenuActionsListView");
    itemViews_ = addItemViews(list_, "_UIContextMenuActionView");
    msgSend<void>(list_.get(), SELECTOR("setDisplayedMenu:withAnimationStyle:alongsideAnimations:"),
                  makeArray(items()), static_cast<NSInteger>(0), static_cast<id>(nil));
  }

  void releaseViews() override {
    background_.reset();
    list_.reset();
    itemViews_.clear();
  }

  id itemImageView(size_t index) const override { return actionView(itemViews_[index])->imageView; }

  MenuViews familyViews(const ContextMenuFrame& frame) const override {
    return ListMenuViews{frame, background_, list_};
  }

  std::vector<Strong> itemViews_;
  Strong background_, list_;
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
