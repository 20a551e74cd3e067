// UIViewController with presentation, and UIApplication.
#include <cstdio>

#include "foundation/exceptions.h"
#include "runtime/blocks.h"
#include "runtime/class_builder.h"
#include "uikit/uikit_internal.h"

namespace qv::host {
namespace {

Strong gSharedApplication;

UIViewControllerObj* vc(id c) { return fields<UIViewControllerObj>(c); }

id vcView(id self, SEL) {
  if (!vc(self)->view) msgSend<void>(self, SELECTOR("loadView"));
  return vc(self)->view;
}
void vcLoadView(id self, SEL) {
  id v = msgSend<id>(msgSend<id>(viewClass(), SELECTOR("alloc")), SELECTOR("initWithFrame:"),
                     CGRect{{0, 0}, {390, 844}});
  vc(self)->view = Strong::adopt(v);
}
void vcSetView(id self, SEL, id v) { vc(self)->view = v; }
void vcViewWillAppear(id self, SEL, BOOL) { vc(self)->appearances++; }
id vcPresented(id self, SEL) { return vc(self)->presented; }
id vcPresenting(id self, SEL) {
  Strong p = vc(self)->presenting.load();
  return objc_autorelease(objc_retain(p.get()));
}
// A controller that already presents one refuses another, as UIKit does (with a warning).
void vcPresent(id self, SEL, id controller, BOOL animated, id completion) {
  if (!controller) {
    raiseUncaught(kInvalidArgumentException,
                  std::string("Application tried to present a nil modal view controller on "
                              "target <") +
                      class_getName(object_getClass(self)) + ">.");
  }
  if (vc(self)->presented) {
    std::fprintf(stderr, "Warning: Attempt to present %s on %s which is already presenting\n",
                 class_getName(object_getClass(controller)), class_getName(object_getClass(self)));
    return;
  }
  vc(self)->presented = controller;
  vc(controller)->presenting = self;
  msgSend<void>(controller, SELECTOR("viewWillAppear:"), animated);
  qv::invokeBlock<>(completion);
}
// On the presenter it dismisses what it presents; on a presented controller, itself.
void vcDismiss(id self, SEL, BOOL, id completion) {
  Strong presenter = vc(self)->presented ? Strong(self) : vc(self)->presenting.load();
  if (presenter) {
    if (id presented = vc(presenter)->presented) vc(presented)->presenting = nil;
    vc(presenter)->presented.reset();
  }
  qv::invokeBlock<>(completion);
}

id appShared(id, SEL) { return gSharedApplication; }
id appKeyWindow(id self, SEL) { return fields<UIApplicationObj>(self)->keyWindow; }

}  // namespace

id sharedApplication() { return gSharedApplication; }
void setSharedApplication(id application) { gSharedApplication = application; }

void registerControllers() {
  ClassBuilder<UIViewControllerObj>("UIViewController", "UIResponder")
      .method("view", vcView)
      .method("loadView", vcLoadView)
      .method("setView:", vcSetView)
      .method("viewWillAppear:", vcViewWillAppear)
      .method("presentedViewController", vcPresented)
      .method("presentingViewController", vcPresenting)
      .method("presentViewController:animated:completion:", vcPresent)
      .method("dismissViewControllerAnimated:completion:", vcDismiss);
  ClassBuilder<UIApplicationObj>("UIApplication", "UIResponder")
      .classMethod("sharedApplication", appShared)
      .method("keyWindow", appKeyWindow);
}

}  // namespace qv::host
