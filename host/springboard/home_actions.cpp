// What a user does with the booted home screen.
#include <algorithm>
#include <chrono>
#include <filesystem>

#include "foundation/darwin_notify.h"
#include "foundation/device_root.h"
#include "foundation/main_loop.h"
#include "foundation/preferences.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_internal.h"
#include "uikit/device_state.h"

namespace qv::host {

void HomeScreen::settle() {
  // Replies and notifications arrive on other threads and are handed to the main queue.
  waitForAuthenticationReplies();
  runMainLoopOnce();
  runMainLoopUntil([] { return false; }, std::chrono::milliseconds(0));
  noticeAlert();
}

namespace {

// The settings program's folder exists on a device before the home screen first boots.
void ensurePreferencesFolder() {
  std::error_code ec;
  std::filesystem::create_directories(realPath("/var/jb/vmo/Library/Preferences"), ec);
}

}  // namespace

void HomeScreen::writeSetting(const std::string& key, Json value) {
  AutoreleasePool pool;
  id object = nil;
  if (value.isBool()) object = makeBool(value.asBool());
  if (value.isNumber()) object = makeDouble(value.asNumber());
  if (value.isString()) object = makeString(value.asString());
  ensurePreferencesFolder();
  if (!setPreferenceValue("com.vantrelo88.quorvel", key, object)) {
    throw ScenarioError{"setting: cannot write " + key};
  }
}

void HomeScreen::writeStaticColor(const std::string& text) {
  AutoreleasePool pool;
  ensurePreferencesFolder();
  if (!setPreferenceValue("com.vantrelo88.quorvel.color", "staticColor", makeString(text))) {
    throw ScenarioError{"static-color: cannot write the colour list"};
  }
}

void HomeScreen::reloadPrefs() {
  requireBooted("reload");
  postDarwinNotification("com.vantrelo88.quorvel/ReloadPrefs");
  settle();
}

void HomeScreen::reloadColors() {
  requireBooted("reload");
  postDarwinNotification("com.vantrelo88.quorvel/ReloadColorPrefs");
  settle();
}

void HomeScreen::press(const std::string& identifier) {
  requireBooted("press");
  for (const IconEntry& e : icons_) {
    if (e.identifier != identifier) continue;
    AutoreleasePool pool;
    screen_ = Screen::Home;  // icons are pressed on the home screen
    menu_->open(e.iconView);
    settle();
    return;
  }
  throw ScenarioError{"press: no icon " + identifier + " on the home screen"};
}

void HomeScreen::pick(const std::string& title) {
  requireBooted("pick");
  if (!menu_->isOpen()) throw ScenarioError{"pick: no menu is open"};
  std::vector<id> items = menu_->items();
  for (size_t i = 0; i < items.size(); i++) {
    if (itemTitle(items[i]) != title) continue;
    AutoreleasePool pool;
    menu_->pick(i);
    settle();
    return;
  }
  throw ScenarioError{"pick: the menu has no item \"" + title + "\""};
}

id HomeScreen::alertOnScreen() const {
  if (!rootController_) return nil;
  id top = rootController_;
  id alert = nil;
  while (id presented = msgSend<id>(top, SELECTOR("presentedViewController"))) {
    top = presented;
    if (isKind(top, objc_getClass("UIAlertController"))) alert = top;
  }
  return alert;
}

// The version-13 host draws a newly presented alert with its action-group views.
void HomeScreen::noticeAlert() {
  id alert = alertOnScreen();
  if (alert && alert != lastAlert_.get()) {
    lastAlert_ = alert;
    if (menu_) menu_->alertPresented(alert);
  }
  if (!alert) lastAlert_.reset();
}

void HomeScreen::tapAlert(const std::string& button) {
  requireBooted("alert");
  id alert = alertOnScreen();
  if (!alert) throw ScenarioError{"alert: no alert on screen"};
  AutoreleasePool pool;
  if (!tapAlertAction(alert, button)) {
    throw ScenarioError{"alert: the alert has no button \"" + button + "\""};
  }
  settle();
}

void HomeScreen::answerAuth(AuthAnswer answer) {
  requireBooted("auth");
  if (!answerOldestAuthentication(answer)) throw ScenarioError{"auth: no prompt is pending"};
  settle();
}

void HomeScreen::setFrontmost(const std::string& bundleID) {
  AppState* a = app(bundleID);
  if (!a || a->uninstalled) return;
  frontmost_ = bundleID;
  screen_ = Screen::App;
  a->running = true;
  // A running app has a layout in the switcher and a page.
  id switcher = ensureMainSwitcher();
  auto& layouts = fields<MainSwitcherObj>(switcher)->appLayouts;
  bool listed = false;
  for (const Strong& l : layouts) {
    if (layoutBundleID(l) == bundleID) listed = true;
  }
  if (!listed) layouts.insert(layouts.begin(), Strong(makeAppLayout(bundleID)));
  bool hasPage = false;
  for (const Strong& p : switcherPages()) {
    if (stdString(fields<SwitcherPageObj>(p)->bundleIdentifier) == bundleID) hasPage = true;
  }
  if (!hasPage) {
    id page = msgSend<id>(msgSend<id>(objc_getClass("SBAppSwitcherPageView"), SELECTOR("alloc")),
                          SELECTOR("initWithFrame:"), CGRect{{0, 0}, {390, 844}});
    fields<SwitcherPageObj>(page)->bundleIdentifier = makeString(bundleID);
    switcherPages().push_back(Strong::adopt(page));
  }
}

void HomeScreen::bringToFront(const std::string& bundleID) {
  requireBooted("front");
  AppState* a = app(bundleID);
  if (!a) throw ScenarioError{"front: no app " + bundleID};
  if (a->uninstalled) throw ScenarioError{"front: " + bundleID + " is uninstalled"};
  AutoreleasePool pool;
  setFrontmost(bundleID);
  // Every page of the switcher gets its overlay change as the app comes forward, the page of
  // that app first.
  std::vector<Strong> pages = switcherPages();
  std::stable_partition(pages.begin(), pages.end(), [&](const Strong& p) {
    return stdString(fields<SwitcherPageObj>(p)->bundleIdentifier) == bundleID;
  });
  for (const Strong& p : pages) {
    msgSend<void>(p.get(), SELECTOR("setOverlay:animated:"), static_cast<id>(nil), YES);
  }
  settle();
}

void HomeScreen::openSwitcher() {
  requireBooted("switcher");
  AutoreleasePool pool;
  id switcher = ensureMainSwitcher();
  screen_ = Screen::Switcher;
  switcherCards().clear();
  for (const Strong& layout : fields<MainSwitcherObj>(switcher)->appLayouts) {
    id card = msgSend<id>(
        msgSend<id>(objc_getClass("SBAppSwitcherReusableSnapshotView"), SELECTOR("alloc")),
        SELECTOR("initWithFrame:"), CGRect{{0, 0}, {180, 390}});
    msgSend<void>(card, SELECTOR("setAppLayout:"), layout.get());
    switcherCards().push_back(Strong::adopt(card));
    layoutView(card);
  }
  settle();
}

void HomeScreen::searchOpen(const std::string& bundleID) {
  requireBooted("search");
  AutoreleasePool pool;
  msgSend<void>(objc_getClass("SearchUIUtilities"),
                SELECTOR("openApplicationWithBundleIdentifier:"), makeString(bundleID));
  settle();
}

void HomeScreen::searchOpenActivity(const std::string& bundleID) {
  requireBooted("search-activity");
  AutoreleasePool pool;
  id activity = msgSend<id>(objc_getClass("NSObject"), SELECTOR("new"));
  msgSend<void>(objc_getClass("SearchUIUtilities"),
                SELECTOR("openUserActivity:applicationBundleIdentifier:"), activity,
                makeString(bundleID));
  objc_release(activity);
  settle();
}

void HomeScreen::layoutIcons() {
  for (const IconEntry& e : icons_) {
    AutoreleasePool pool;
    msgSend<void>(e.iconView.get(), SELECTOR("setLabelHidden:"), NO);
    layoutView(e.iconView);
  }
}

void HomeScreen::post(const std::string& name) {
  requireBooted("post");
  AutoreleasePool pool;
  msgSend<void>(msgSend<id>(objc_getClass("NSNotificationCenter"), SELECTOR("defaultCenter")),
                SELECTOR("postNotificationName:object:userInfo:"), makeString(name),
                static_cast<id>(nil), static_cast<id>(nil));
  settle();
}

void HomeScreen::setStyle(long style) { setInterfaceStyle(style); }

void HomeScreen::markOffloaded(const std::string& bundleID, long reason) {
  AppState* a = app(bundleID);
  if (!a) return;
  a->offloaded = true;
  a->offloadReason = reason;
  a->running = false;
}

void HomeScreen::markUninstalled(const std::string& bundleID) {
  AppState* a = app(bundleID);
  if (!a) return;
  a->uninstalled = true;
  a->running = false;
  if (frontmost_ == bundleID) frontmost_.clear();
  if (frontmost_.empty() && screen_ == Screen::App) screen_ = Screen::Home;
  for (auto it = icons_.begin(); it != icons_.end(); ++it) {
    if (it->kind == IconEntry::Kind::App && it->identifier == bundleID) {
      icons_.erase(it);
      break;
    }
  }
  a->iconView.reset();
}

void HomeScreen::quitApp(const std::string& bundleID) {
  AppState* a = app(bundleID);
  if (!a) return;
  a->running = false;
  if (frontmost_ == bundleID) frontmost_.clear();
  if (frontmost_.empty() && screen_ == Screen::App) screen_ = Screen::Home;
  auto& pages = switcherPages();
  for (auto it = pages.begin(); it != pages.end(); ++it) {
    if (stdString(fields<SwitcherPageObj>(*it)->bundleIdentifier) == bundleID) {
      pages.erase(it);
      break;
    }
  }
}

void HomeScreen::recordHostEvent(const std::string& event) { hostEvents_.push_back(event); }

}  // namespace qv::host
