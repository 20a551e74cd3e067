#include "applock/switcher_blur.h"

#include "applock/unlock_prompt.h"
#include "common/ivar_access.h"
#include "common/notification_names.h"
#include "platform/substrate.h"
#include "platform/uikit.h"
#include "settings/app_lists.h"

namespace quorvel {

namespace {

// The lock blur, made anew each time: a Gaussian blur as the layer's only filter.
void applyLockBlur(const UI::Layer& layer) {
  CA::Filter blur = CA::Filter::filterWithName(NSSTR("gaussianBlur"));
  blur.setValue(NS::Number::withFloat(50.0f), NSSTR("inputRadius"));
  layer.setFilters(NS::Array::arrayWithObject(blur));
  layer.setMasksToBounds(true);
}

void blurOrClear(id view, bool locked) {
  UI::Layer layer = UI::View(view).layer();
  if (locked) {
    applyLockBlur(layer);
  } else {
    layer.setFilters(nil);
  }
}

id frontmostBundleIdentifier() {
  id front = msgSend<id>(UI::Application::sharedApplication(),
                         SELECTOR("_accessibilityFrontMostApplication"));
  return NS::Object(front).valueForKey(NSSTR("_bundleIdentifier"));
}

NS::Number roleOne() { return NS::Number::withInt(1); }

// Version 14 reads the layout's role map through its instance variable. Version 16 has no such
// variable, and its layout answers -itemForLayoutRole: instead; a host with neither has no
// value to read, and the card counts as not locked.
id cardIdentifier14(id card) {
  id layout = msgSend<id>(card, SELECTOR("appLayout"));
  bool found = false;
  id map = readObjectIvar(layout, "_rolesToLayoutItemsMap", &found);
  id item = nil;
  if (found) {
    item = NS::Dictionary(map).objectForKey(roleOne());
  } else if (NS::Object(layout).respondsToSelector(SELECTOR("itemForLayoutRole:"))) {
    item = msgSend<id>(layout, SELECTOR("itemForLayoutRole:"), static_cast<NSInteger>(1));
  }
  return msgSend<id>(item, SELECTOR("bundleIdentifier"));
}

id cardIdentifier12(id card) {
  id layout = msgSend<id>(card, SELECTOR("appLayout"));
  id map = msgSend<id>(layout, SELECTOR("rolesToLayoutItemsMap"));
  id item = NS::Dictionary(map).objectForKey(roleOne());
  return msgSend<id>(item, SELECTOR("displayIdentifier"));
}

}  // namespace

id hookPageInitWithFrame(id self, SEL cmd, CGRect frame) {
  NS::NotificationCenter::defaultCenter().addObserver(self, SELECTOR("removeFilter"),
                                                      NSSTR(kRemoveFilterNotification), nil);
  return qv::Hook<hookPageInitWithFrame>::previous(self, cmd, frame);
}

namespace {

// While a locked app is frontmost every page is blurred, blocks touches and asks for the owner.
void guardPage(id page) {
  if (isAppLocked(frontmostBundleIdentifier())) {
    blurOrClear(page, true);
    msgSend<void>(page, SELECTOR("setBlocksTouches:"), YES);
    promptUnlock(page);
  } else {
    blurOrClear(page, false);
  }
}

}  // namespace

void hookPageSetOverlay(id self, SEL cmd, id overlay, BOOL animated) {
  guardPage(self);
  qv::Hook<hookPageSetOverlay>::previous(self, cmd, overlay, animated);
}

void hook15PageSetOverlay(id self, SEL cmd, id overlay) {
  guardPage(self);
  qv::Hook<hook15PageSetOverlay>::previous(self, cmd, overlay);
}

void pageRemoveFilter(id self, SEL) { UI::View(self).layer().setFilters(nil); }

void hook14CardLayoutSubviews(id self, SEL cmd) {
  blurOrClear(self, isAppLocked(cardIdentifier14(self)));
  qv::Hook<hook14CardLayoutSubviews>::previous(self, cmd);
}

void hook13CardLayoutSubviews(id self, SEL cmd) {
  qv::Hook<hook13CardLayoutSubviews>::previous(self, cmd);
}

void hook12CardLayoutSubviews(id self, SEL cmd) {
  blurOrClear(self, isAppLocked(cardIdentifier12(self)));
  qv::Hook<hook12CardLayoutSubviews>::previous(self, cmd);
}

}  // namespace quorvel
