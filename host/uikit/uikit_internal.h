// Host-side view of the UIKit stand-in: the structs behind views, layers, controllers and
// colours, and quick ways to make and read them from C++.
#pragma once

#include <string>
#include <vector>

#include "foundation/foundation_internal.h"
#include "platform/coregraphics.h"
#include "uikit/colour_text.h"

namespace qv::host {

struct UIColorObj : objc_object {
  double red = 0, green = 0, blue = 0, alpha = 1;
};

struct CAFilterObj : objc_object {
  std::string name;
  Strong values;  // NSMutableDictionary of the keys set with setValue:forKey:
};

struct CALayerObj : objc_object {
  Strong filters;  // NSArray of CAFilter, or nil
  bool masksToBounds = false;
  double cornerRadius = 0;
};

struct UIViewObj : objc_object {
  CGRect frame{};
  double alpha = 1;
  bool hidden = false;
  Strong backgroundColor;
  Strong tintColor;
  Strong layer;
  std::vector<Strong> subviews;
  Weak superview;
  int layoutCount = 0;     // how often layoutSubviews ran (for tests and the simulator)
  int backgroundSets = 0;  // how often the background colour was set
};

struct UILabelObj : UIViewObj {
  Strong text;
};

struct UIImageViewObj : UIViewObj {
  Strong image;
};

struct UIWindowObj : UIViewObj {
  Strong rootViewController;
};

struct UIViewControllerObj : objc_object {
  Strong view;
  Strong presented;
  Weak presenting;
  int appearances = 0;  // viewWillAppear: calls
};

struct UIAlertActionObj : objc_object {
  Strong title;
  long style = 0;
  Strong handler;  // block taking the action
};

struct UIAlertControllerObj : UIViewControllerObj {
  Strong title;
  Strong message;
  long preferredStyle = 0;
  std::vector<Strong> actions;
};

struct UIApplicationObj : objc_object {
  Strong keyWindow;
};

Class colorClass();
Class viewClass();

// Autoreleased colour.
id makeColor(double r, double g, double b, double a);
// Components of a colour (all zero for nil or a non-colour).
Rgba colorComponents(id color);

// The view's layer (made with the view).
CALayerObj* layerOf(id view);
// Adds `child` to `parent`'s subviews.
void addSubview(id parent, id child);
// Sends layoutSubviews, as the host's layout pass does.
void layoutView(id view);

// The shared application (SpringBoard) and its key window.
id sharedApplication();
void setSharedApplication(id application);

// Taps the alert's button with that title: the alert is dismissed, then the button's
// handler runs on this (the main) thread. False when there is no such button.
bool tapAlertAction(id alertController, const std::string& title);
// The alert's buttons in order, with their styles.
std::vector<std::pair<std::string, long>> alertButtons(id alertController);

// Per-area registration, run by registerUIKit() in dependency order.
void registerColors();
void registerViews();
void registerControllers();
void registerAlerts();
void registerDeviceServices();
void registerAuthentication();
void registerImages();

}  // namespace qv::host
