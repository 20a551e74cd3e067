#include "menu/alerts.h"

#include "menu/app_actions.h"
#include "platform/ownership.h"
#include "platform/uikit.h"

namespace quorvel {

namespace {

// The controller at the top of the key window's presentation chain, or nil.
UI::ViewController topController() {
  UI::ViewController top = UI::Application::sharedApplication().keyWindow().rootViewController();
  while (UI::ViewController presented = top.presentedViewController()) top = presented;
  return top;
}

// Buttons act on the identifier the alert was built with, captured here.
void presentAlert(const NS::String& message, const NS::String& destructiveTitle,
                  void (*action)(id bundleIdentifier), id bundleIdentifier) {
  UI::ViewController host = topController();
  if (!host) return;
  UI::AlertController alert = UI::AlertController::alertControllerWithTitle(
      NSSTR("Quorvel"), message, UI::AlertControllerStyleAlert);
  qv::StrongRef<id> target(bundleIdentifier);
  UI::AlertAction destructive =
      UI::AlertAction::actionWithTitle(destructiveTitle, UI::AlertActionStyleDestructive,
                                       qv::makeBlock<id>([action, target](id) { action(target); }));
  UI::AlertAction nevermind = UI::AlertAction::actionWithTitle(
      NSSTR("Nevermind"), UI::AlertActionStyleCancel, qv::makeBlock<id>([](id) {}));
  alert.addAction(nevermind);
  alert.addAction(destructive);
  host.presentViewController(alert, true, nil);
}

}  // namespace

void showBundleIdentifierAlert(id bundleIdentifier) {
  presentAlert(NS::String(bundleIdentifier), NSSTR("Copy Bundle ID"), copyBundleIdentifier,
               bundleIdentifier);
}

void showUninstallAlert(id bundleIdentifier) {
  presentAlert(NSSTR("Uninstall this app ?"), NSSTR("Uninstall App"), uninstallApp,
               bundleIdentifier);
}

}  // namespace quorvel
