#include "applock/icon_state.h"

#include "common/ivar_access.h"
#include "common/notification_names.h"
#include "platform/substrate.h"
#include "platform/uikit.h"
#include "settings/app_lists.h"
#include "settings/settings_cache.h"

namespace quorvel {

namespace {

constexpr CGFloat kLockedAlpha = 0.6;

id iconAppIdentifier(id iconView) {
  return msgSend<id>(msgSend<id>(iconView, SELECTOR("icon")), SELECTOR("applicationBundleID"));
}

void applyDimming(id iconView, bool locked) {
  CGFloat alpha = locked ? kLockedAlpha : 1.0;
  msgSend<void>(iconView, SELECTOR("setIconImageAlpha:"), alpha);
  msgSend<void>(iconView, SELECTOR("setIconLabelAlpha:"), alpha);
  msgSend<void>(iconView, SELECTOR("setIconAccessoryAlpha:"), alpha);
  UI::Color tint = locked ? UI::Color::blackColor() : UI::Color::clearColor();
  msgSend<void>(iconView, SELECTOR("setAccessibilityTintColor:"), tint.get());
}

// Layout passes only dim; restoring is left to placement and the dimIcon notification.
void layoutWork(id iconView) {
  if (isAppLocked(iconAppIdentifier(iconView))) iconDimIcon(iconView, nullptr);
  iconCheckBadge(iconView, nullptr);
}

}  // namespace

void iconCheckBadge(id self, SEL) {
  bool found = false;
  id badge = readObjectIvar(self, "_accessoryView", &found);
  if (!found) return;
  UI::View(badge).setHidden(settings.hideBadges);
}

void iconDimIcon(id self, SEL) { applyDimming(self, isAppLocked(iconAppIdentifier(self))); }

void hookIconLayoutSubviews(id self, SEL cmd) {
  layoutWork(self);
  qv::Hook<hookIconLayoutSubviews>::previous(self, cmd);
}

BOOL hookIconIsCrossfading(id self, SEL cmd) {
  layoutWork(self);
  return qv::Hook<hookIconIsCrossfading>::previous(self, cmd);
}

template <class Location>
void hookIconSetLocation(id self, SEL cmd, Location location) {
  NS::NotificationCenter center = NS::NotificationCenter::defaultCenter();
  center.addObserver(self, SELECTOR("checkBadge"), NSSTR(kCheckBadgeNotification), nil);
  center.addObserver(self, SELECTOR("dimIcon"), NSSTR(kDimIconNotification), nil);
  iconDimIcon(self, nullptr);
  qv::Hook<hookIconSetLocation<Location>>::previous(self, cmd, location);
}

template void hookIconSetLocation<long long>(id, SEL, long long);
template void hookIconSetLocation<id>(id, SEL, id);

}  // namespace quorvel
