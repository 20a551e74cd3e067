// The version-12 force-touch action platter: a data provider for the pressed icon, a
// controller that runs and dismisses the menu, action views with keylines between them, an
// optional widget and a visual-effect backdrop.
#include "runtime/blocks.h"
#include "runtime/class_builder.h"
#include "springboard/context_menu_views.h"
#include "springboard/menu_presenter.h"
#include "springboard/platter_objects.h"

namespace qv::host {
namespace {

struct DataProviderObj : objc_object {
  Strong iconView;
};

struct ActionViewObj : UIViewObj {
  Strong action;
};

// ---- data provider ----

id providerInitWithIconView(id self, SEL, id iconView) {
  fields<DataProviderObj>(self)->iconView = iconView;
  return self;
}
id providerBundleIdentifier(id self, SEL) {
  id iconView = fields<DataProviderObj>(self)->iconView;
  id icon = msgSend<id>(iconView, SELECTOR("icon"));
  if (!icon || isKind(icon, objc_getClass("SBFolderIcon"))) return nil;
  return fields<SBIconObj>(icon)->identifier;
}
// The app's own quick actions, then the host's Share item.
id providerShortcutItems(id self, SEL) {
  std::string bundleID = stdString(providerBundleIdentifier(self, nullptr));
  AppState* app = HomeScreen::shared().app(bundleID);
  if (!app) return nil;
  std::vector<id> items;
  for (const std::string& title : app->setup.shortcuts) {
    items.push_back(makeShortcutItem(bundleID + ".shortcut", title));
  }
  items.push_back(makeShortcutItem(shareItemType(), "Share \u201c" + app->setup.name + "\u201d"));
  return makeArray(items);
}

// ---- controller ----

id controllerWidget(id self, SEL, id) {
  fields<ForceTouchControllerObj>(self)->widgetRequests++;
  return objc_autorelease(msgSend<id>(objc_getClass("UIViewController"), SELECTOR("new")));
}
void controllerDismiss(id self, SEL, BOOL, id completion) {
  fields<ForceTouchControllerObj>(self)->dismissed = true;
  fields<ForceTouchControllerObj>(self)->dismissals++;
  qv::invokeBlock<>(completion);
}
BOOL controllerIsDismissed(id self, SEL) {
  return fields<ForceTouchControllerObj>(self)->dismissed;
}
// The host runs its own items and closes the menu.
void controllerActivate(id self, SEL, id, id item) {
  id provider = fields<ForceTouchControllerObj>(self)->dataProvider;
  std::string bundleID = stdString(providerBundleIdentifier(provider, nullptr));
  msgSend<void>(self, SELECTOR("dismissAnimated:withCompletionHandler:"), YES,
                static_cast<id>(nil));
  performHostItem(item, bundleID);
}

// ---- actions ----

id actionInit(id self, SEL, id title, id subtitle, id image, id badgeView, id handler) {
  auto* a = fields<UIActionObj>(self);
  a->title = Strong::adopt(msgSend<id>(title, SELECTOR("copy")));
  a->subtitle = Strong::adopt(msgSend<id>(subtitle, SELECTOR("copy")));
  a->image = image;
  a->badgeView = badgeView;
  a->handler = copyBlock(handler);
  return self;
}
id actionTitle(id self, SEL) { return fields<UIActionObj>(self)->title; }
id actionSubtitle(id self, SEL) { return fields<UIActionObj>(self)->subtitle; }
id actionImage(id self, SEL) { return fields<UIActionObj>(self)->image; }
id actionViewAction(id self, SEL) { return fields<ActionViewObj>(self)->action; }

// ---- backdrop ----

#define BACKDROP_SETTER(name, type, field)             \
  void name(id self, SEL cmd, type value) {            \
    backdrop(self)->field = value;                     \
    backdrop(self)->calls.push_back(sel_getName(cmd)); \
  }
BACKDROP_SETTER(setUsesColorTintView, BOOL, usesColorTintView)
BACKDROP_SETTER(setUsesColorBurnTintView, BOOL, usesColorBurnTintView)
BACKDROP_SETTER(setColorBurnTintLevel, double, colorBurnTintLevel)
BACKDROP_SETTER(setColorBurnTintAlpha, double, colorBurnTintAlpha)
BACKDROP_SETTER(setColorTintAlpha, double, colorTintAlpha)
BACKDROP_SETTER(setAppliesTintAndBlurSettings, BOOL, appliesTintAndBlurSettings)
#undef BACKDROP_SETTER
void setColorTint(id self, SEL cmd, id color) {
  backdrop(self)->colorTint = color;
  backdrop(self)->calls.push_back(sel_getName(cmd));
}

void effectSetStrength(id self, SEL, double strength) {
  fields<EffectViewObj>(self)->effectStrength = strength;
}
double effectStrength(id self, SEL) { return fields<EffectViewObj>(self)->effectStrength; }

// ---- the presenter ----

class Menu12 : public MenuPresenter {
 public:
  void open(id iconView) override {
    close();
    provider_ = Strong::adopt(
        msgSend<id>(msgSend<id>(objc_getClass("SBUIAppIconForceTouchControllerDataProvider"),
                                SELECTOR("alloc")),
                    SELECTOR("initWithIconView:"), iconView));
    controller_ = Strong::adopt(
        msgSend<id>(objc_getClass("SBUIAppIconForceTouchController"), SELECTOR("new")));
    fields<ForceTouchControllerObj>(controller_)->dataProvider = provider_;
    bundleID_ = stdString(msgSend<id>(provider_.get(), SELECTOR("applicationBundleIdentifier")));
    items_.clear();
    for (id item : arrayItems(msgSend<id>(provider_.get(), SELECTOR("applicationShortcutItems")))) {
      items_.emplace_back(item);
    }
    widget_ = msgSend<id>(controller_.get(), SELECTOR("_widgetViewControllerForDataProvider:"),
                          provider_.get());
    buildViews();
  }

  bool isOpen() const override {
    return controller_ && !fields<ForceTouchControllerObj>(controller_)->dismissed;
  }

  std::string bundleID() const override { return bundleID_; }

  std::vector<id> items() const override {
    std::vector<id> out;
    for (const Strong& s : items_) out.push_back(s.get());
    return out;
  }

  bool itemHidden(size_t index) const override {
    return index < actionViews_.size() && fields<UIViewObj>(actionViews_[index])->hidden;
  }

  void pick(size_t index) override {
    Strong item = items_.at(index);
    Strong controller = controller_;
    msgSend<void>(
        controller.get(),
        SELECTOR("appIconForceTouchShortcutViewController:activateApplicationShortcutItem:"),
        static_cast<id>(nil), item.get());
  }

  void close() override {
    controller_.reset();
    provider_.reset();
    widget_.reset();
    effect_.reset();
    platter_.reset();
    items_.clear();
    actions_.clear();
    actionViews_.clear();
    keylines_.clear();
  }

  MenuViews views() const override {
    if (!isOpen()) return {};
    PlatterViews v;
    v.iconView = fields<DataProviderObj>(provider_)->iconView;
    v.controller = controller_;
    v.platterController = platter_;
    v.effect = effect_;
    v.effectStrength = fields<EffectViewObj>(effect_)->effectStrength;
    if (id settings = fields<EffectViewObj>(effect_)->backdropSettings) {
      if (backdrop(settings)->usesColorTintView) {
        v.backdropTint = backdrop(settings)->colorTint;
        v.backdropTintAlpha = backdrop(settings)->colorTintAlpha;
      }
    }
    v.widget = widget_;
    for (size_t i = 0; i < actionViews_.size(); i++) {
      auto* a = fields<UIActionObj>(actions_[i]);
      v.rows.push_back({actionViews_[i], a->title, a->subtitle, a->image});
    }
    for (const Strong& k : keylines_) v.keylines.push_back(k);
    return v;
  }

 private:
  void buildViews() {
    effect_ = newView("SBUIIconForceTouchVisualEffectView");
    // The host asks for a partial effect while the platter opens.
    msgSend<void>(effect_.get(), SELECTOR("setEffectStrength:"), 0.3);
    platter_ = Strong::adopt(
        msgSend<id>(objc_getClass("SBUIActionPlatterViewController"), SELECTOR("new")));
    for (size_t i = 0; i < items_.size(); i++) {
      id item = items_[i];
      auto* f = fields<ShortcutItemObj>(item);
      id action = msgSend<id>(msgSend<id>(objc_getClass("SBUIAction"), SELECTOR("alloc")),
                              SELECTOR("initWithTitle:subtitle:image:badgeView:handler:"),
                              f->localizedTitle.get(), f->localizedSubtitle.get(),
                              static_cast<id>(nil), static_cast<id>(nil), static_cast<id>(nil));
      actions_.push_back(Strong::adopt(action));
      Strong view = newView("SBUIActionView");
      fields<ActionViewObj>(view)->action = action;
      actionViews_.push_back(view);
      if (i + 1 < items_.size()) keylines_.push_back(newView("SBUIActionKeylineView"));
    }
    msgSend<void>(platter_.get(), SELECTOR("setImagePosition:"), static_cast<NSInteger>(0));
    for (const Strong& v : actionViews_) msgSend<id>(v.get(), SELECTOR("action"));
    for (const Strong& k : keylines_) layoutView(k);
  }

  std::string bundleID_;
  Strong provider_, controller_, widget_, effect_, platter_;
  std::vector<Strong> items_, actions_, actionViews_, keylines_;
};

id effectInitWithFrame(id self, SEL cmd, CGRect frame);
Class gEffectView;

id effectInitWithFrame(id self, SEL cmd, CGRect frame) {
  self = sendSuper<id>(gEffectView, self, cmd, frame);
  fields<EffectViewObj>(self)->backdropSettings =
      Strong::adopt(msgSend<id>(objc_getClass("_UIBackdropViewSettings"), SELECTOR("new")));
  return self;
}

}  // namespace

void registerMenuClasses12(const HostQuirks& quirks) {
  ClassBuilder<DataProviderObj>("SBUIAppIconForceTouchControllerDataProvider", "NSObject")
      .method("initWithIconView:", providerInitWithIconView)
      .method("applicationBundleIdentifier", providerBundleIdentifier)
      .method("applicationShortcutItems", providerShortcutItems);
  ClassBuilder<ForceTouchControllerObj>("SBUIAppIconForceTouchController", "NSObject")
      .method("_widgetViewControllerForDataProvider:", controllerWidget)
      .method("appIconForceTouchShortcutViewController:activateApplicationShortcutItem:",
              controllerActivate)
      .method("dismissAnimated:withCompletionHandler:", controllerDismiss)
      .method("isDismissed", controllerIsDismissed);
  ClassBuilder<UIActionObj>("SBUIAction", "NSObject")
      .method("initWithTitle:subtitle:image:badgeView:handler:", actionInit)
      .method("title", actionTitle)
      .method("subtitle", actionSubtitle)
      .method("image", actionImage);
  ClassBuilder<ActionViewObj>("SBUIActionView", "UIView").method("action", actionViewAction);
  ClassBuilder<UIViewObj>("SBUIActionKeylineView", "UIView");
  ClassBuilder<BackdropSettingsObj>("_UIBackdropViewSettings", "NSObject")
      .method("setUsesColorTintView:", setUsesColorTintView)
      .method("setUsesColorBurnTintView:", setUsesColorBurnTintView)
      .method("setColorBurnTintLevel:", setColorBurnTintLevel)
      .method("setColorBurnTintAlpha:", setColorBurnTintAlpha)
      .method("setColorTint:", setColorTint)
      .method("setColorTintAlpha:", setColorTintAlpha)
      .method("setAppliesTintAndBlurSettings:", setAppliesTintAndBlurSettings);
  ClassBuilder<EffectViewObj> effect("SBUIIconForceTouchVisualEffectView", "UIView");
  effect.method("initWithFrame:", effectInitWithFrame)
      .method("setEffectStrength:", effectSetStrength)
      .method("effectStrength", effectStrength);
  if (quirks.effectViewBackdropIvar) {
    effect.ivar("_targetBackdropViewSettings", QV_OFFSETOF(EffectViewObj, backdropSettings));
  }
  gEffectView = effect.cls();
  ClassBuilder<UIViewControllerObj>("SBUIActionPlatterViewController", "UIViewController")
      .method(
          "setImagePosition:", +[](id, SEL, NSInteger) {});
}

std::unique_ptr<MenuPresenter> makeMenuPresenter12() { return std::make_unique<Menu12>(); }

}  // namespace qv::host
