// UIAlertController and UIAlertAction.
#include "runtime/blocks.h"
#include "runtime/class_builder.h"
#include "uikit/uikit_internal.h"

namespace qv::host {
namespace {

UIAlertControllerObj* alert(id a) { return fields<UIAlertControllerObj>(a); }
UIAlertActionObj* action(id a) { return fields<UIAlertActionObj>(a); }

id alertWithTitle(id cls, SEL, id title, id message, NSInteger style) {
  id a =
      msgSend<id>(msgSend<id>(reinterpret_cast<Class>(cls), SELECTOR("alloc")), SELECTOR("init"));
  alert(a)->title = Strong::adopt(msgSend<id>(title, SELECTOR("copy")));
  alert(a)->message = Strong::adopt(msgSend<id>(message, SELECTOR("copy")));
  alert(a)->preferredStyle = style;
  return objc_autorelease(a);
}
id alertTitle(id self, SEL) { return alert(self)->title; }
id alertMessage(id self, SEL) { return alert(self)->message; }
NSInteger alertStyle(id self, SEL) { return alert(self)->preferredStyle; }
void alertAddAction(id self, SEL, id a) {
  if (a) alert(self)->actions.emplace_back(a);
}
id alertActions(id self, SEL) {
  std::vector<id> items;
  for (const Strong& s : alert(self)->actions) items.push_back(s.get());
  return makeArray(items);
}

id actionWithTitle(id cls, SEL, id title, NSInteger style, id handler) {
  id a =
      msgSend<id>(msgSend<id>(reinterpret_cast<Class>(cls), SELECTOR("alloc")), SELECTOR("init"));
  action(a)->title = Strong::adopt(msgSend<id>(title, SELECTOR("copy")));
  action(a)->style = style;
  action(a)->handler = copyBlock(handler);
  return objc_autorelease(a);
}
id actionTitle(id self, SEL) { return action(self)->title; }
NSInteger actionStyle(id self, SEL) { return action(self)->style; }

}  // namespace

bool tapAlertAction(id alertController, const std::string& title) {
  if (!alertController) return false;
  Strong keep(alertController);
  for (const Strong& a : alert(alertController)->actions) {
    if (stdString(action(a)->title) != title) continue;
    Strong tapped = a;
    // UIKit takes the alert off screen before the button's handler runs.
    msgSend<void>(alertController, SELECTOR("dismissViewControllerAnimated:completion:"), YES,
                  static_cast<id>(nil));
    if (id handler = action(tapped)->handler) qv::invokeBlock<id>(handler, tapped.get());
    return true;
  }
  return false;
}

std::vector<std::pair<std::string, long>> alertButtons(id alertController) {
  std::vector<std::pair<std::string, long>> out;
  if (!alertController) return out;
  for (const Strong& a : alert(alertController)->actions) {
    out.emplace_back(stdString(action(a)->title), action(a)->style);
  }
  return out;
}

void registerAlerts() {
  ClassBuilder<UIAlertControllerObj>("UIAlertController", "UIViewController")
      .classMethod("alertControllerWithTitle:message:preferredStyle:", alertWithTitle)
      .method("title", alertTitle)
      .method("message", alertMessage)
      .method("preferredStyle", alertStyle)
      .method("addAction:", alertAddAction)
      .method("actions", alertActions);
  ClassBuilder<UIAlertActionObj>("UIAlertAction", "NSObject")
      .classMethod("actionWithTitle:style:handler:", actionWithTitle)
      .method("title", actionTitle)
      .method("style", actionStyle);
}

}  // namespace qv::host
