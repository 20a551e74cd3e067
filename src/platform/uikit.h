// The part of UIKit, Quartz Core and Local Authentication that the library reaches.
#pragma once

#include "platform/coregraphics.h"
#include "platform/foundation.h"

namespace UI {

class Color : public NS::Object {
 public:
  using Object::Object;

  static Color blackColor() { return Color(msgSend<id>(CLASS("UIColor"), SELECTOR("blackColor"))); }
  static Color whiteColor() { return Color(msgSend<id>(CLASS("UIColor"), SELECTOR("whiteColor"))); }
  static Color clearColor() { return Color(msgSend<id>(CLASS("UIColor"), SELECTOR("clearColor"))); }
  static Color colorWithRGBA(CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
    return Color(
        msgSend<id>(CLASS("UIColor"), SELECTOR("colorWithRed:green:blue:alpha:"), r, g, b, a));
  }
  bool getRGBA(CGFloat* r, CGFloat* g, CGFloat* b, CGFloat* a) const {
    return send<BOOL>(SELECTOR("getRed:green:blue:alpha:"), r, g, b, a);
  }
};

// Image rendering modes.
constexpr NSInteger ImageRenderingModeAlwaysTemplate = 2;

class Image : public NS::Object {
 public:
  using Object::Object;

  // nil when the file is missing or no image.
  static Image imageWithContentsOfFile(const NS::String& path) {
    return Image(msgSend<id>(CLASS("UIImage"), SELECTOR("imageWithContentsOfFile:"), path.get()));
  }
  // The home screen's icon of an app.
  static Image applicationIconImage(const NS::String& bundleIdentifier, int format, CGFloat scale) {
    return Image(msgSend<id>(CLASS("UIImage"),
                             SELECTOR("_applicationIconImageForBundleIdentifier:format:scale:"),
                             bundleIdentifier.get(), format, scale));
  }
  Image imageWithRenderingMode(NSInteger mode) const {
    return Image(send<id>(SELECTOR("imageWithRenderingMode:"), mode));
  }
  CGSize size() const { return send<CGSize>(SELECTOR("size")); }
  CGImageRef CGImage() const { return send<CGImageRef>(SELECTOR("CGImage")); }
};

class View;

class Layer : public NS::Object {
 public:
  using Object::Object;
  // nil removes every filter.
  void setFilters(id filters) const { send<void>(SELECTOR("setFilters:"), filters); }
  void setMasksToBounds(bool masks) const { send<void>(SELECTOR("setMasksToBounds:"), masks); }
  void setCornerRadius(CGFloat radius) const { send<void>(SELECTOR("setCornerRadius:"), radius); }
};

class View : public NS::Object {
 public:
  using Object::Object;
  void setAlpha(CGFloat alpha) const { send<void>(SELECTOR("setAlpha:"), alpha); }
  void setHidden(bool hidden) const { send<void>(SELECTOR("setHidden:"), hidden); }
  void setBackgroundColor(const Color& color) const {
    send<void>(SELECTOR("setBackgroundColor:"), color.get());
  }
  void setTintColor(const Color& color) const {
    send<void>(SELECTOR("setTintColor:"), color.get());
  }
  Layer layer() const { return Layer(send<id>(SELECTOR("layer"))); }
};

class ViewController : public NS::Object {
 public:
  using Object::Object;
  View view() const { return View(send<id>(SELECTOR("view"))); }
  ViewController presentedViewController() const {
    return ViewController(send<id>(SELECTOR("presentedViewController")));
  }
  void presentViewController(id controller, bool animated, id completion) const {
    send<void>(SELECTOR("presentViewController:animated:completion:"), controller, animated,
               completion);
  }
};

class Window : public View {
 public:
  using View::View;
  ViewController rootViewController() const {
    return ViewController(send<id>(SELECTOR("rootViewController")));
  }
};

class Application : public NS::Object {
 public:
  using Object::Object;
  static Application sharedApplication() {
    return Application(msgSend<id>(CLASS("UIApplication"), SELECTOR("sharedApplication")));
  }
  Window keyWindow() const { return Window(send<id>(SELECTOR("keyWindow"))); }
};

// Alert styles and button styles.
constexpr NSInteger AlertControllerStyleAlert = 1;
constexpr NSInteger AlertActionStyleCancel = 1;
constexpr NSInteger AlertActionStyleDestructive = 2;

class AlertAction : public NS::Object {
 public:
  using Object::Object;
  // `handler` is a block taking the tapped button (qv::makeBlock<id>), or nil.
  static AlertAction actionWithTitle(const NS::String& title, NSInteger style, id handler) {
    return AlertAction(msgSend<id>(CLASS("UIAlertAction"),
                                   SELECTOR("actionWithTitle:style:handler:"), title.get(), style,
                                   handler));
  }
};

class AlertController : public ViewController {
 public:
  using ViewController::ViewController;
  static AlertController alertControllerWithTitle(const NS::String& title,
                                                  const NS::String& message, NSInteger style) {
    return AlertController(msgSend<id>(CLASS("UIAlertController"),
                                       SELECTOR("alertControllerWithTitle:message:preferredStyle:"),
                                       title.get(), message.get(), style));
  }
  void addAction(const AlertAction& action) const {
    send<void>(SELECTOR("addAction:"), action.get());
  }
};

class Pasteboard : public NS::Object {
 public:
  using Object::Object;
  static Pasteboard generalPasteboard() {
    return Pasteboard(msgSend<id>(CLASS("UIPasteboard"), SELECTOR("generalPasteboard")));
  }
  void setString(const NS::String& s) const { send<void>(SELECTOR("setString:"), s.get()); }
};

class Device : public NS::Object {
 public:
  using Object::Object;
  static Device currentDevice() {
    return Device(msgSend<id>(CLASS("UIDevice"), SELECTOR("currentDevice")));
  }
  NS::String systemVersion() const { return NS::String(send<id>(SELECTOR("systemVersion"))); }
};

}  // namespace UI

namespace CA {

class Filter : public NS::Object {
 public:
  using Object::Object;
  static Filter filterWithName(const NS::String& name) {
    return Filter(msgSend<id>(CLASS("CAFilter"), SELECTOR("filterWithName:"), name.get()));
  }
  void setValue(id value, const NS::String& key) const {
    send<void>(SELECTOR("setValue:forKey:"), value, key.get());
  }
};

}  // namespace CA

namespace LA {

// Device-owner authentication: biometrics, or the passcode.
constexpr NSInteger PolicyDeviceOwnerAuthentication = 2;

class Context : public NS::Object {
 public:
  using Object::Object;
  // Owned (+1).
  static Context create() { return Context(msgSend<id>(CLASS("LAContext"), SELECTOR("new"))); }
  // `reply` is a block taking (BOOL success, id error) (qv::makeBlock<BOOL, id>); it runs on a
  // queue of the framework's choosing.
  void evaluatePolicy(NSInteger policy, const NS::String& reason, id reply) const {
    send<void>(SELECTOR("evaluatePolicy:localizedReason:reply:"), policy, reason.get(), reply);
  }
};

}  // namespace LA
