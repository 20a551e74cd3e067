// The host's own menu items, run when the host is allowed to run them.
#include "runtime/blocks.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_internal.h"

namespace qv::host {

void performHostItem(id item, const std::string& bundleID) {
  HomeScreen& home = HomeScreen::shared();
  std::string type = itemType(item);
  if (type == rearrangeItemType()) {
    home.recordHostEvent("edit home screen");
  } else if (type == shareItemType()) {
    home.recordHostEvent("share " + bundleID);
  } else if (type == removeItemType(Family::V14) || type == removeItemType(Family::V13)) {
    // The host confirms with an alert of its own.
    AppState* app = home.app(bundleID);
    std::string name = app ? app->setup.name : bundleID;
    id alert =
        msgSend<id>(objc_getClass("UIAlertController"),
                    SELECTOR("alertControllerWithTitle:message:preferredStyle:"),
                    makeString("Remove \u201c" + name + "\u201d?"),
                    makeString("Removing from Home Screen will keep the app in your App Library."),
                    static_cast<NSInteger>(1));
    std::string target = bundleID;
    id remove = msgSend<id>(
        objc_getClass("UIAlertAction"), SELECTOR("actionWithTitle:style:handler:"),
        makeString("Delete App"), static_cast<NSInteger>(2),
        qv::makeBlock<id>([target](id) { HomeScreen::shared().markUninstalled(target); }).get());
    id cancel =
        msgSend<id>(objc_getClass("UIAlertAction"), SELECTOR("actionWithTitle:style:handler:"),
                    makeString("Cancel"), static_cast<NSInteger>(1), static_cast<id>(nil));
    msgSend<void>(alert, SELECTOR("addAction:"), remove);
    msgSend<void>(alert, SELECTOR("addAction:"), cancel);
    id top = home.rootController();
    while (id presented = msgSend<id>(top, SELECTOR("presentedViewController"))) top = presented;
    msgSend<void>(top, SELECTOR("presentViewController:animated:completion:"), alert, YES,
                  static_cast<id>(nil));
    home.recordHostEvent("remove alert " + bundleID);
  } else {
    home.setFrontmost(bundleID);
    home.recordHostEvent("shortcut " + bundleID + " \"" + itemTitle(item) + "\"");
  }
}

}  // namespace qv::host
