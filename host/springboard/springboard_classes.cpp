// SpringBoard, its app objects, icons and icon views, shortcut items and the search entry.
#include <filesystem>

#include "foundation/device_root.h"
#include "runtime/class_builder.h"
#include "schema/settings_schema.h"
#include "springboard/springboard_internal.h"

namespace qv::host {
namespace {

bool fileExistsAtDevicePath(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(realPath(path), ec);
}

struct AppInfoObj : objc_object {
  Strong bundleIdentifier;
  Strong displayName;
};

Class gShortcutItem;

// ---- SpringBoard ----

struct SpringBoardObj : UIApplicationObj {
  bool launched = false;
};

// The host's own launch code notes whether the settings store was there when it ran.
void sbDidFinishLaunching(id self, SEL, id) {
  fields<SpringBoardObj>(self)->launched = true;
  bool settings = fileExistsAtDevicePath(prefs::kSettingsPath);
  HomeScreen::shared().recordHostEvent(settings ? "launched (settings file present)"
                                                : "launched (no settings file)");
}
id sbFrontMost(id, SEL) {
  std::string front = HomeScreen::shared().frontmostApp();
  return front.empty() ? nil : applicationObject(front);
}

// ---- SBApplication ----

SBApplicationObj* appObj(id a) { return fields<SBApplicationObj>(a); }

id appInitWithInfo(id self, SEL, id info) {
  appObj(self)->bundleIdentifier = fields<AppInfoObj>(info)->bundleIdentifier;
  appObj(self)->displayName = fields<AppInfoObj>(info)->displayName;
  return self;
}
id appBundleIdentifier(id self, SEL) { return appObj(self)->bundleIdentifier; }
id appDisplayName(id self, SEL) { return appObj(self)->displayName; }
id appBadgeValue(id self, SEL) { return appObj(self)->badgeValue; }
void appSetBadgeValue(id self, SEL, id value) {
  appObj(self)->badgeValue = value;
  std::string bundleID = stdString(appObj(self)->bundleIdentifier);
  HomeScreen::shared().journal().appChanged(bundleID);
  if (AppState* app = HomeScreen::shared().app(bundleID)) {
    if (app->iconView) refreshBadge(app->iconView);
  }
}
BOOL appIsNowPlaying(id self, SEL) {
  AppState* app = HomeScreen::shared().app(stdString(appObj(self)->bundleIdentifier));
  return app && app->setup.nowPlaying;
}
BOOL appIsRunning(id self, SEL) {
  AppState* app = HomeScreen::shared().app(stdString(appObj(self)->bundleIdentifier));
  return app && app->running;
}

// ---- icons ----

id iconIdentifier(id self, SEL) { return fields<SBIconObj>(self)->identifier; }
id iconNoApp(id, SEL) { return nil; }
id iconDisplayName(id self, SEL) { return fields<SBIconObj>(self)->displayName; }
id widgetInitWithWidget(id self, SEL, id widget) {
  fields<SBIconObj>(self)->identifier = widget;
  return self;
}

// ---- SBIconView ----

SBIconViewObj* iv(id v) { return fields<SBIconViewObj>(v); }

// What the dump shows of an icon view changed.
void noteIconChanged(id iconView) { HomeScreen::shared().journal().iconChanged(iconView); }

// The badge view knows the icon view that shows it (not retained: that view holds it).
struct BadgeViewObj : UIViewObj {
  id iconView = nil;
};
Class gBadgeView;

void badgeSetHidden(id self, SEL cmd, BOOL hidden) {
  sendSuper<void>(gBadgeView, self, cmd, hidden);
  if (id owner = fields<BadgeViewObj>(self)->iconView) noteIconChanged(owner);
}

id ivIcon(id self, SEL) { return iv(self)->icon; }
void ivSetIcon(id self, SEL, id icon) { iv(self)->icon = icon; }
BOOL ivIsFolderIcon(id self, SEL) { return isKind(iv(self)->icon, objc_getClass("SBFolderIcon")); }
// Positions the image, label and badge; the badge's visibility is the badge's own business.
void ivLayoutSubviews(id self, SEL) { iv(self)->layoutCount++; }
BOOL ivIsCrossfading(id, SEL) { return NO; }
// SBIconLocation: a long long before version 13, a string from 13 on.
void ivSetLocationNumber(id self, SEL, long long location) {
  iv(self)->location = location;
  iv(self)->placements++;
  noteIconChanged(self);
}
long long ivLocationNumber(id self, SEL) { return iv(self)->location; }
void ivSetLocationName(id self, SEL, id location) {
  iv(self)->locationName = Strong::adopt(msgSend<id>(location, SELECTOR("copy")));
  iv(self)->placements++;
  noteIconChanged(self);
}
id ivLocationName(id self, SEL) { return iv(self)->locationName; }
void ivSetImageAlpha(id self, SEL, double a) {
  iv(self)->iconImageAlpha = a;
  noteIconChanged(self);
}
void ivSetLabelAlpha(id self, SEL, double a) {
  iv(self)->iconLabelAlpha = a;
  noteIconChanged(self);
}
void ivSetAccessoryAlpha(id self, SEL, double a) {
  iv(self)->iconAccessoryAlpha = a;
  noteIconChanged(self);
}
double ivImageAlpha(id self, SEL) { return iv(self)->iconImageAlpha; }
double ivLabelAlpha(id self, SEL) { return iv(self)->iconLabelAlpha; }
double ivAccessoryAlpha(id self, SEL) { return iv(self)->iconAccessoryAlpha; }
void ivSetTint(id self, SEL, id color) {
  iv(self)->accessibilityTintColor = color;
  noteIconChanged(self);
}
id ivTint(id self, SEL) { return iv(self)->accessibilityTintColor; }
void ivSetLabelHidden(id self, SEL, BOOL hidden) {
  iv(self)->labelHidden = hidden;
  msgSend<void>(iv(self)->labelView.get(), SELECTOR("setHidden:"), hidden);
  noteIconChanged(self);
}
BOOL ivIsLabelHidden(id self, SEL) { return iv(self)->labelHidden; }

// The menu's app: an app icon's or widget's bundle identifier; nothing for a folder.
id ivBundleIdentifierForShortcuts(id self, SEL) {
  if (ivIsFolderIcon(self, nullptr)) return nil;
  return fields<SBIconObj>(iv(self)->icon)->identifier;
}
// The app's own quick actions, or nil when it declares none.
id ivShortcutItems(id self, SEL) {
  AppState* app =
      HomeScreen::shared().app(stdString(ivBundleIdentifierForShortcuts(self, nullptr)));
  if (!app || app->setup.shortcuts.empty()) return nil;
  std::vector<id> items;
  for (const std::string& title : app->setup.shortcuts) {
    items.push_back(makeShortcutItem(app->setup.bundleID + ".shortcut", title));
  }
  return makeArray(items);
}
void ivSetShortcutItems(id self, SEL, id items) {
  iv(self)->homeScreenItems = Strong::adopt(msgSend<id>(items, SELECTOR("copy")));
}
id ivHomeScreenItems(id self, SEL) { return iv(self)->homeScreenItems; }
// Versions 15 and 16 ask the icon view too; the icon manager still decides.
BOOL ivShouldActivate(id, SEL, id, NSInteger) { return YES; }

// ---- SBSApplicationShortcutItem ----

ShortcutItemObj* item(id i) { return fields<ShortcutItemObj>(i); }

template <Strong ShortcutItemObj::*Field>
id getField(id self, SEL) {
  return item(self)->*Field;
}
template <Strong ShortcutItemObj::*Field>
void setField(id self, SEL, id value) {
  item(self)->*Field = Strong::adopt(msgSend<id>(value, SELECTOR("copy")));
}

// ---- SearchUIUtilities ----

void searchOpenApplication(id, SEL, id bundleID) {
  HomeScreen::shared().setFrontmost(stdString(bundleID));
}
void searchOpenActivity(id, SEL, id, id bundleID) {
  HomeScreen::shared().setFrontmost(stdString(bundleID));
}
// Version 15's forms with a completion handler; the host's own search passes none.
void searchOpenApplicationCompletion(id, SEL, id bundleID, id) {
  HomeScreen::shared().setFrontmost(stdString(bundleID));
}
void searchOpenActivityCompletion(id, SEL, id, id bundleID, id) {
  HomeScreen::shared().setFrontmost(stdString(bundleID));
}

}  // namespace

id newLabelView(const std::string& text) {
  id label = msgSend<id>(objc_getClass("UILabel"), SELECTOR("new"));
  msgSend<void>(label, SELECTOR("setText:"), makeString(text));
  return objc_autorelease(label);
}

id makeShortcutItem(const std::string& type, const std::string& title) {
  id i = msgSend<id>(msgSend<id>(gShortcutItem, SELECTOR("alloc")), SELECTOR("init"));
  item(i)->type = makeString(type);
  item(i)->localizedTitle = makeString(title);
  return objc_autorelease(i);
}

std::string itemType(id i) { return i ? stdString(item(i)->type) : ""; }
std::string itemTitle(id i) { return i ? stdString(item(i)->localizedTitle) : ""; }
std::string itemSubtitle(id i) { return i ? stdString(item(i)->localizedSubtitle) : ""; }

id applicationObject(const std::string& bundleID) {
  AppState* app = HomeScreen::shared().app(bundleID);
  return app ? app->appObject.get() : nil;
}

void refreshBadge(id iconView) {
  id icon = iv(iconView)->icon;
  id appObject = icon ? applicationObject(stdString(fields<SBIconObj>(icon)->identifier)) : nil;
  id badge = appObject ? appObj(appObject)->badgeValue.get() : nil;
  noteIconChanged(iconView);
  if (!badge) {
    iv(iconView)->accessoryView.reset();
    return;
  }
  // A badge that comes back is shown again, whatever hid it before.
  if (!iv(iconView)->accessoryView) {
    iv(iconView)->accessoryView =
        Strong::adopt(msgSend<id>(msgSend<id>(gBadgeView, SELECTOR("alloc")), SELECTOR("init")));
    fields<BadgeViewObj>(iv(iconView)->accessoryView)->iconView = iconView;
  }
  msgSend<void>(iv(iconView)->accessoryView.get(), SELECTOR("setHidden:"), NO);
}

std::string rearrangeItemType() {
  return "com.apple.springboardhome.application-shortcut-item.rearrange-icons";
}
std::string shareItemType() { return "com.apple.springboardhome.application-shortcut-item.share"; }
std::string removeItemType(Family family) {
  return family == Family::V14 ? "com.apple.springboardhome.application-shortcut-item.remove-app"
                               : "com.apple.springboardhome.application-shortcut-item.delete-app";
}

void registerSpringBoardClasses(Family family, int hostClasses, const HostQuirks& quirks) {
  ClassBuilder<SpringBoardObj>("SpringBoard", "UIApplication")
      .method("applicationDidFinishLaunching:", sbDidFinishLaunching)
      .method("_accessibilityFrontMostApplication", sbFrontMost);
  ClassBuilder<AppInfoObj>("SBApplicationInfo", "NSObject");
  ClassBuilder<SBApplicationObj> application("SBApplication", "NSObject");
  application.method("initWithApplicationInfo:", appInitWithInfo)
      .method("bundleIdentifier", appBundleIdentifier)
      .method("displayName", appDisplayName)
      .method("badgeValue", appBadgeValue)
      .method("setBadgeValue:", appSetBadgeValue)
      .method("isRunning", appIsRunning)
      .ivar("_bundleIdentifier", QV_OFFSETOF(SBApplicationObj, bundleIdentifier));
  if (family == Family::V12) application.method("isNowPlayingApplication", appIsNowPlaying);

  ClassBuilder<SBIconObj>("SBIcon", "NSObject")
      .method("applicationBundleID", iconNoApp)
      .method("displayName", iconDisplayName);
  ClassBuilder<SBIconObj>("SBApplicationIcon", "SBIcon")
      .method("applicationBundleID", iconIdentifier);
  ClassBuilder<SBIconObj>("SBFolderIcon", "SBIcon");
  ClassBuilder<SBIconObj> widgetIcon("SBWidgetIcon", "SBIcon");
  if (family == Family::V14) widgetIcon.method("initWithWidget:", widgetInitWithWidget);
  gBadgeView = ClassBuilder<BadgeViewObj>("SBIconBadgeView", "UIView")
                   .method("setHidden:", badgeSetHidden)
                   .cls();

  ClassBuilder<SBIconViewObj> iconView("SBIconView", "UIView");
  iconView.method("icon", ivIcon)
      .method("setIcon:", ivSetIcon)
      .method("layoutSubviews", ivLayoutSubviews)
      .method("setIconImageAlpha:", ivSetImageAlpha)
      .method("setIconLabelAlpha:", ivSetLabelAlpha)
      .method("setIconAccessoryAlpha:", ivSetAccessoryAlpha)
      .method("iconImageAlpha", ivImageAlpha)
      .method("iconLabelAlpha", ivLabelAlpha)
      .method("iconAccessoryAlpha", ivAccessoryAlpha)
      .method("setAccessibilityTintColor:", ivSetTint)
      .method("accessibilityTintColor", ivTint)
      .method("setLabelHidden:", ivSetLabelHidden)
      .method("isLabelHidden", ivIsLabelHidden);
  if (quirks.iconViewAccessoryIvar) {
    iconView.ivar("_accessoryView", QV_OFFSETOF(SBIconViewObj, accessoryView));
  }
  iconView.ivar("_icon", QV_OFFSETOF(SBIconViewObj, icon));
  if (family == Family::V12) {
    iconView.method("setLocation:", ivSetLocationNumber).method("location", ivLocationNumber);
  } else {
    // The context-menu hosts: the icon view answers for its menu, knows whether it is a folder
    // and crossfades its image.
    iconView.method("setLocation:", ivSetLocationName)
        .method("location", ivLocationName)
        .method("isFolderIcon", ivIsFolderIcon)
        .method("isCrossfadingImageWithView", ivIsCrossfading)
        .method("applicationBundleIdentifierForShortcuts", ivBundleIdentifierForShortcuts)
        .method("applicationShortcutItems", ivShortcutItems)
        .method("setApplicationShortcutItems:", ivSetShortcutItems)
        .method("_homeScreenShortcutItems", ivHomeScreenItems);
  }
  if (hostClasses >= 15) {
    iconView.method("fetchedApplicationShortcutItems", ivShortcutItems)
        .method("shouldActivateApplicationShortcutItem:atIndex:", ivShouldActivate);
  }

  ClassBuilder<ShortcutItemObj> shortcutItem("SBSApplicationShortcutItem", "NSObject");
  shortcutItem.method("type", getField<&ShortcutItemObj::type>)
      .method("setType:", setField<&ShortcutItemObj::type>)
      .method("localizedTitle", getField<&ShortcutItemObj::localizedTitle>)
      .method("setLocalizedTitle:", setField<&ShortcutItemObj::localizedTitle>)
      .method("localizedSubtitle", getField<&ShortcutItemObj::localizedSubtitle>)
      .method("setLocalizedSubtitle:", setField<&ShortcutItemObj::localizedSubtitle>)
      .method("bundleIdentifierToLaunch", getField<&ShortcutItemObj::bundleIdentifierToLaunch>)
      .method("setBundleIdentifierToLaunch:", setField<&ShortcutItemObj::bundleIdentifierToLaunch>);
  if (family != Family::V12) {
    shortcutItem
        .method("targetContentIdentifier", getField<&ShortcutItemObj::targetContentIdentifier>)
        .method("setTargetContentIdentifier:", setField<&ShortcutItemObj::targetContentIdentifier>);
  }
  gShortcutItem = shortcutItem.cls();

  // Version 15 adds forms with a completion handler; 16 keeps the class without any of them.
  ClassBuilder<> search("SearchUIUtilities", "NSObject");
  if (hostClasses < 16) {
    search.classMethod("openApplicationWithBundleIdentifier:", searchOpenApplication)
        .classMethod("openUserActivity:applicationBundleIdentifier:", searchOpenActivity);
  }
  if (hostClasses == 15) {
    search
        .classMethod("openApplicationWithBundleIdentifier:completion:",
                     searchOpenApplicationCompletion)
        .classMethod("openUserActivity:applicationBundleIdentifier:completion:",
                     searchOpenActivityCompletion);
  }
  ClassBuilder<UIViewControllerObj>("SBHomeScreenViewController", "UIViewController");
}

// Info objects are what the host hands app objects at creation.
id makeApplicationInfo(const std::string& bundleID, const std::string& name) {
  id info = msgSend<id>(objc_getClass("SBApplicationInfo"), SELECTOR("new"));
  fields<AppInfoObj>(info)->bundleIdentifier = makeString(bundleID);
  fields<AppInfoObj>(info)->displayName = makeString(name);
  return objc_autorelease(info);
}

}  // namespace qv::host
