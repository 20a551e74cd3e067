// The app switcher: its controller, app layouts, pages and cards.
#include "runtime/class_builder.h"
#include "springboard/springboard_internal.h"

namespace qv::host {
namespace {

Strong gMainSwitcher;
std::vector<Strong> gPages;
std::vector<Strong> gCards;

MainSwitcherObj* switcher(id s) { return fields<MainSwitcherObj>(s); }

id switcherSharedIfExists(id, SEL) { return gMainSwitcher; }
id switcherAppLayouts(id self, SEL) {
  std::vector<id> items;
  for (const Strong& s : switcher(self)->appLayouts) items.push_back(s.get());
  return makeArray(items);
}

// Quits the apps of one layout: the layout leaves the switcher and its apps stop running.
void switcherQuit(id self, SEL, id layout, NSInteger reason) {
  auto& layouts = switcher(self)->appLayouts;
  for (auto it = layouts.begin(); it != layouts.end(); ++it) {
    if (it->get() != layout) continue;
    std::string bundleID = layoutBundleID(layout);
    switcher(self)->quitReasons.push_back(bundleID + ":" + std::to_string(reason));
    layouts.erase(it);
    HomeScreen::shared().quitApp(bundleID);
    return;
  }
}

id layoutRoles(id self, SEL) { return fields<AppLayoutObj>(self)->rolesToLayoutItemsMap; }
id layoutItemForRole(id self, SEL, NSInteger role) {
  id map = fields<AppLayoutObj>(self)->rolesToLayoutItemsMap;
  return map ? msgSend<id>(map, SELECTOR("objectForKey:"), makeInteger(role)) : nil;
}
id itemBundleIdentifier(id self, SEL) { return fields<DisplayItemObj>(self)->bundleIdentifier; }

SwitcherPageObj* page(id p) { return fields<SwitcherPageObj>(p); }
void pageSetOverlayAnimated(id self, SEL, id overlay, BOOL) {
  page(self)->overlay = overlay;
  page(self)->overlayChanges++;
}
void pageSetOverlay(id self, SEL sel, id overlay) {
  pageSetOverlayAnimated(self, sel, overlay, NO);
}
id pageOverlay(id self, SEL) { return page(self)->overlay; }
void pageSetBlocksTouches(id self, SEL, BOOL blocks) { page(self)->blocksTouches = blocks; }
BOOL pageBlocksTouches(id self, SEL) { return page(self)->blocksTouches; }

id cardAppLayout(id self, SEL) { return fields<SnapshotViewObj>(self)->appLayout; }
void cardSetAppLayout(id self, SEL, id layout) {
  fields<SnapshotViewObj>(self)->appLayout = layout;
}

}  // namespace

std::string layoutBundleID(id layout) {
  id map = layout ? fields<AppLayoutObj>(layout)->rolesToLayoutItemsMap.get() : nil;
  if (!map) return "";
  AutoreleasePool pool;
  id primary = msgSend<id>(map, SELECTOR("objectForKey:"), makeInteger(1));
  return primary ? stdString(fields<DisplayItemObj>(primary)->bundleIdentifier) : "";
}

id mainSwitcher() { return gMainSwitcher; }

// Version 16 has no SBMainSwitcherViewController: its switcher is coordinated elsewhere.
const char* mainSwitcherClass(int hostClasses) {
  return hostClasses >= 16 ? "SBMainSwitcherControllerCoordinator" : "SBMainSwitcherViewController";
}

id ensureMainSwitcher() {
  if (!gMainSwitcher) {
    const char* name = mainSwitcherClass(HomeScreen::shared().hostClasses());
    gMainSwitcher = Strong::adopt(msgSend<id>(objc_getClass(name), SELECTOR("new")));
  }
  return gMainSwitcher;
}

id makeAppLayout(const std::string& bundleID) {
  id item = msgSend<id>(objc_getClass("SBDisplayItem"), SELECTOR("new"));
  fields<DisplayItemObj>(item)->bundleIdentifier = makeString(bundleID);
  id layout = msgSend<id>(objc_getClass("SBAppLayout"), SELECTOR("new"));
  fields<AppLayoutObj>(layout)->rolesToLayoutItemsMap = makeDictionary({{makeInteger(1), item}});
  fields<AppLayoutObj>(layout)->items = makeArray({item});
  fields<AppLayoutObj>(layout)->itemsToLayoutAttributesMap = makeDictionary({});
  objc_release(item);
  return objc_autorelease(layout);
}

std::vector<Strong>& switcherPages() { return gPages; }
std::vector<Strong>& switcherCards() { return gCards; }

// Version 12 lists and quits layouts through the controller; later versions keep them
// elsewhere. Version 14's layout no longer answers rolesToLayoutItemsMap (only the instance
// variable is left), and the display item names its app by displayIdentifier before 13 and by
// bundleIdentifier from 13 on.
// Version 15 keeps the controller class without those methods, and 16 drops it; 15's page has
// only the overlay property's setter, and 16's layout no longer has the role map's variable
// (its items are reached through -itemForLayoutRole:).
void registerSwitcherClasses(Family family, int hostClasses, const HostQuirks& quirks) {
  ClassBuilder<MainSwitcherObj> controller(mainSwitcherClass(hostClasses), "UIViewController");
  if (hostClasses < 16) controller.classMethod("sharedInstanceIfExists", switcherSharedIfExists);
  if (family == Family::V12) {
    controller.method("appLayouts", switcherAppLayouts)
        .method("_quitAppsRepresentedByAppLayout:forReason:", switcherQuit);
  }
  ClassBuilder<AppLayoutObj> layout("SBAppLayout", "NSObject");
  if (family != Family::V14) layout.method("rolesToLayoutItemsMap", layoutRoles);
  if (hostClasses >= 15) layout.method("itemForLayoutRole:", layoutItemForRole);
  if (hostClasses >= 16) {
    layout.ivar("_items", QV_OFFSETOF(AppLayoutObj, items))
        .ivar("_itemsToLayoutAttributesMap", QV_OFFSETOF(AppLayoutObj, itemsToLayoutAttributesMap));
  } else if (quirks.layoutRolesIvar) {
    layout.ivar("_rolesToLayoutItemsMap", QV_OFFSETOF(AppLayoutObj, rolesToLayoutItemsMap));
  }
  ClassBuilder<DisplayItemObj>("SBDisplayItem", "NSObject")
      .method(family == Family::V12 ? "displayIdentifier" : "bundleIdentifier",
              itemBundleIdentifier);
  if (hostClasses >= 15) {
    ClassBuilder<UIViewObj>("SBHitTestExtendedView", "UIView");
    ClassBuilder<SwitcherPageObj>("SBAppSwitcherPageView", "SBHitTestExtendedView")
        .method("setOverlay:", pageSetOverlay)
        .method("overlay", pageOverlay)
        .method("setBlocksTouches:", pageSetBlocksTouches)
        .method("blocksTouches", pageBlocksTouches);
  } else {
    ClassBuilder<SwitcherPageObj>("SBAppSwitcherPageView", "UIView")
        .method("setOverlay:animated:", pageSetOverlayAnimated)
        .method("overlay", pageOverlay)
        .method("setBlocksTouches:", pageSetBlocksTouches)
        .method("blocksTouches", pageBlocksTouches);
  }
  ClassBuilder<SnapshotViewObj>("SBAppSwitcherReusableSnapshotView", "UIView")
      .method("appLayout", cardAppLayout)
      .method("setAppLayout:", cardSetAppLayout);
}

}  // namespace qv::host
