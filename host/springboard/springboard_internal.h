// The structs behind the home-screen host's objects, shared by its source files.
#pragma once

#include <string>
#include <vector>

#include "runtime/class_builder.h"
#include "springboard/home_screen.h"
#include "uikit/uikit_internal.h"

namespace qv::host {

struct SBApplicationObj : objc_object {
  Strong bundleIdentifier;  // the instance variable _bundleIdentifier
  Strong displayName;
  Strong badgeValue;
};

struct SBIconObj : objc_object {
  Strong identifier;  // bundle identifier of an app or widget icon, a folder's name
  Strong displayName;
};

struct SBIconViewObj : UIViewObj {
  Strong icon;
  Strong accessoryView;  // the badge view, nil while the app has no badge
  Strong labelView;
  Strong imageView;
  Strong homeScreenItems;  // what the host handed through setApplicationShortcutItems:
  double iconImageAlpha = 1;
  double iconLabelAlpha = 1;
  double iconAccessoryAlpha = 1;
  Strong accessibilityTintColor;
  bool labelHidden = false;
  long long location = 0;  // before version 13 a location is a number
  Strong locationName;     // from version 13 on it is a string
  int placements = 0;
  long gridSlot = 0;  // where on the home screen's grid the host shows the icon
};

struct ShortcutItemObj : objc_object {
  Strong type;
  Strong localizedTitle;
  Strong localizedSubtitle;
  Strong bundleIdentifierToLaunch;
  Strong targetContentIdentifier;
};

struct AppLayoutObj : objc_object {
  Strong rolesToLayoutItemsMap;  // NSDictionary: role number -> display item
  // Version 16 keeps its items in these instead.
  Strong items;
  Strong itemsToLayoutAttributesMap;
};

struct DisplayItemObj : objc_object {
  Strong bundleIdentifier;
};

struct SwitcherPageObj : UIViewObj {
  Strong overlay;
  bool blocksTouches = false;
  Strong bundleIdentifier;  // the app the page shows
  int overlayChanges = 0;
};

struct SnapshotViewObj : UIViewObj {
  Strong appLayout;
};

struct MainSwitcherObj : UIViewControllerObj {
  std::vector<Strong> appLayouts;
  std::vector<std::string> quitReasons;  // "bundle:reason" per quit, for the dump
};

struct WallpaperViewObj : UIViewObj {
  int computations = 0;
};

// ---- class registration per layer ----
void registerSpringBoardClasses(Family family, int hostClasses, const HostQuirks& quirks);
void registerSwitcherClasses(Family family, int hostClasses, const HostQuirks& quirks);
void registerSystemServices(Family family);
void registerWallpaperClasses(int hostClasses);
// The static wallpaper view's class: SpringBoardFoundation's before 16, PaperBoardUI's from 16.
const char* staticWallpaperClass(int hostClasses);
void registerMenuClasses14();
void registerMenuClasses15();
void registerMenuClasses13(const HostQuirks& quirks);
void registerMenuClasses12(const HostQuirks& quirks);
void registerAppIconImages();
void installResources();

// ---- helpers used across the host ----
id newLabelView(const std::string& text);
id makeShortcutItem(const std::string& type, const std::string& title);
std::string itemType(id item);
std::string itemTitle(id item);
std::string itemSubtitle(id item);

// The app object of a bundle identifier, or nil.
id applicationObject(const std::string& bundleID);
// Updates an icon view's badge view from its app's badge value.
void refreshBadge(id iconView);
// The type strings of the home-screen items.
std::string rearrangeItemType();
std::string shareItemType();
std::string removeItemType(Family family);

// The switcher controller once it exists.
id mainSwitcher();
id ensureMainSwitcher();
id makeAppLayout(const std::string& bundleID);
// The bundle identifier of a layout's primary item (role 1), or "".
std::string layoutBundleID(id layout);
std::vector<Strong>& switcherPages();
std::vector<Strong>& switcherCards();

// The info object the host hands an app object at creation.
id makeApplicationInfo(const std::string& bundleID, const std::string& name);

// The app's icon image (decoded once, kept in memory by the host).
id appIconImage(const std::string& bundleID);

}  // namespace qv::host
