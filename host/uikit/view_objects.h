// The structs behind UIKit's views, layers, controllers and colours, for the host frameworks
// built on UIKit that read them directly; tools go through views.h and messages.
#pragma once

#include <string>
#include <vector>

#include "foundation/value_objects.h"
#include "platform/coregraphics.h"
#include "uikit/views.h"

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

// The view's layer (made with the view).
CALayerObj* layerOf(id view);

}  // namespace qv::host
