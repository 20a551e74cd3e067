#include "menu/app_observers.h"

#include "common/ivar_access.h"
#include "common/notification_names.h"
#include "menu/catalogue.h"
#include "platform/foundation.h"
#include "platform/ownership.h"
#include "platform/substrate.h"

namespace quorvel {

namespace {

bool isTargetApp(id app) {
  return NS::String(msgSend<id>(app, SELECTOR("bundleIdentifier")))
      .isEqualToString(NS::String(bundleID));
}

// The identifier a layout item names, whichever accessor its host has.
id layoutItemIdentifier(const NS::Object& item) {
  if (item.respondsToSelector(SELECTOR("bundleIdentifier"))) {
    return item.send<id>(SELECTOR("bundleIdentifier"));
  }
  if (item.respondsToSelector(SELECTOR("displayIdentifier"))) {
    return item.send<id>(SELECTOR("displayIdentifier"));
  }
  return nil;
}

// Whether any item of the layout shows the app.
bool layoutShowsApp(id layout, id app) {
  NS::Object object(layout);
  id map = nil;
  if (object.respondsToSelector(SELECTOR("rolesToLayoutItemsMap"))) {
    map = object.send<id>(SELECTOR("rolesToLayoutItemsMap"));
  } else {
    map = readObjectIvar(layout, "_rolesToLayoutItemsMap", nullptr);
  }
  NS::Array items(NS::Object(map).send<id>(SELECTOR("allValues")));
  NSUInteger count = items.count();
  for (NSUInteger i = 0; i < count; i++) {
    if (NS::String(app).isEqualToString(NS::String(layoutItemIdentifier(items.objectAtIndex(i))))) {
      return true;
    }
  }
  return false;
}

}  // namespace

id hookAppInitWithInfo(id self, SEL cmd, id info) {
  NS::NotificationCenter center = NS::NotificationCenter::defaultCenter();
  center.addObserver(self, SELECTOR("clearBadges"), NSSTR(kClearBadgesNotification), nil);
  center.addObserver(self, SELECTOR("killApp"), NSSTR(kKillAppNotification), nil);
  return qv::Hook<hookAppInitWithInfo>::previous(self, cmd, info);
}

void appClearBadges(id self, SEL) {
  if (isTargetApp(self)) msgSend<void>(self, SELECTOR("setBadgeValue:"), static_cast<id>(nil));
}

// Quits the switcher's layouts that show the locked app, unless it is playing audio. Only the
// version-12 host answers isNowPlayingApplication and appLayouts: on a later one a post of
// killApp finds nothing to quit.
void appKillApp(id self, SEL) {
  NS::Object app(self);
  if (!isTargetApp(self) || !app.respondsToSelector(SELECTOR("isNowPlayingApplication")) ||
      app.send<BOOL>(SELECTOR("isNowPlayingApplication"))) {
    return;
  }
  id switcher =
      msgSend<id>(CLASS("SBMainSwitcherViewController"), SELECTOR("sharedInstanceIfExists"));
  if (!switcher || !NS::Object(switcher).respondsToSelector(SELECTOR("appLayouts"))) return;
  auto layouts = qv::StrongRef<NS::Array>::adopt(
      NS::Array(msgSend<id>(msgSend<id>(switcher, SELECTOR("appLayouts")), SELECTOR("copy"))));
  const NS::Array& list = layouts.get();
  NSUInteger count = list.count();
  for (NSUInteger i = 0; i < count; i++) {
    id layout = list.objectAtIndex(i);
    if (!layoutShowsApp(layout, bundleID)) continue;
    msgSend<void>(switcher, SELECTOR("_quitAppsRepresentedByAppLayout:forReason:"), layout,
                  static_cast<NSInteger>(1));
  }
}

}  // namespace quorvel
