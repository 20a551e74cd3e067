// The structs behind the home-screen host's objects, for its own sources and the renderer that
// draws them; tools go through home_items.h and messages.
#pragma once

#include <string>
#include <vector>

#include "springboard/home_items.h"
#include "uikit/view_objects.h"

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

}  // namespace qv::host
