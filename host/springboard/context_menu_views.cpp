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

Class registerContextMenuCommonClasses() {
  ClassBuilder<UIViewObj>("UIVisualEffectView", "UIView");
  ClassBuilder<UIViewObj>("_UICutoutShadowView", "UIView");
  ClassBuilder<UIViewControllerObj>("SBHIconViewContextMenuWrapperViewController",
                                    "UIViewController");
  ClassBuilder<>("SBHIconManager", "NSObject")
      .method("iconView:shouldActivateApplicationShortcutItem:atIndex:", managerShouldActivate);
  gActionView = ClassBuilder<ContextActionViewObj>("_UIContextMenuActionView", "UIView")
                    .method("initWithFrame:", actionViewInitWithFrame)
                    .method("titleLabel", actionViewTitleLabel)
                    .method("subtitleLabel", actionViewSubtitleLabel)
                    .cls();
  return gActionView;
}

}  // namespace qv::host
