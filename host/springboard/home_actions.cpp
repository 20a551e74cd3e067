// What a user does with the booted home screen.
#include <algorithm>
#include <chrono>
#include <filesystem>

#include "foundation/darwin_notify.h"
#include "foundation/device_root.h"
#include "foundation/main_loop.h"
#include "foundation/path_resolution.h"
#include "foundation/preferences.h"
#include "schema/settings_schema.h"
#include "springboard/menu_presenter.h"
#include "springboard/springboard_internal.h"
#include "uikit/device_state.h"

namespace qv::host {

void HomeScreen::settle() {
  DevicePathMemo memo;
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
  std::filesystem::create_directories(realPath(prefs::kPreferencesFolder), ec);
}

}  // namespace

void HomeScreen::writeSetting(const std::string& key, Json value) {
  AutoreleasePool pool;
  id object = nil;
  if (value.is_boolean()) object = makeBool(value.get<bool>());
  if (value.is_number()) object = makeDouble(value.get<double>());
  if (value.is_string()) object = makeString(value.get<std::string>());
  ensurePreferencesFolder();
  if (!setPreferenceValue(prefs::kSettingsDomain, key, object)) {
    throw ScenarioError{"setting: cannot write " + key};
  }
}

void HomeScreen::writeStaticColor(const std::string& text) {
  AutoreleasePool pool;
  ensurePreferencesFolder();
  if (!setPreferenceValue(prefs::kColorsDomain, "staticColor", makeString(text))) {
    throw ScenarioError{"static-color: cannot write the colour list"};
  }
}

void HomeScreen::reloadPrefs() {
  requireBooted("reload");
  DevicePathMemo memo;
  postDarwinNotification(prefs::kReloadPrefsNotification);
  settle();
}

void HomeScreen::reloadColors() {
  requireBooted("reload");
  DevicePathMemo memo;
  postDarwinNotification(prefs::kReloadColorsNotification);
  settle();
}

void HomeScreen::press(const std::string& identifier) {
  requireBooted("press");
  const IconEntry* e = icon(identifier);
  if (!e) throw ScenarioError{"press: no icon " + identifier + " on the home screen"};
  DevicePathMemo memo;
  AutoreleasePool pool;
  screen_ = Screen::Home;  // icons are pressed on the home screen
  Strong view = e->iconView;
  menu_->open(view);
  settle();
}

void HomeScreen::pick(const std::string& title, size_t occurrence) {
  requireBooted("pick");
  if (!menu_->isOpen()) throw ScenarioError{"pick: no menu is open"};
  std::vector<id> items = menu_->items();
  std::vector<size_t> matches;
  bool hiddenMatch = false;
  for (size_t i = 0; i < items.size(); i++) {
    if (itemTitle(items[i]) != title) continue;
    if (menu_->itemHidden(i)) {
      hiddenMatch = true;
    } else {
      matches.push_back(i);
    }
  }
  const std::string quoted = "\"" + title + "\"";
  if (matches.empty()) {
    throw ScenarioError{hiddenMatch ? "pick: the item " + quoted + " is hidden; it cannot be tapped"
                                    : "pick: the menu has no item " + quoted};
  }
  if (occurrence == 0 && matches.size() > 1) {
    throw ScenarioError{"pick: " + std::to_string(matches.size()) + " items are titled " + quoted +
                        "; say which with n=1 to n=" + std::to_string(matches.size())};
  }
  if (occurrence > matches.size()) {
    throw ScenarioError{"pick: the menu has " + std::to_string(matches.size()) + " item" +
                        (matches.size() == 1 ? "" : "s") + " titled " + quoted + ", not " +
                        std::to_string(occurrence)};
  }
  DevicePathMemo memo;
  AutoreleasePool pool;
  menu_->pick(matches[occurrence == 0 ? 0 : occurrence - 1]);
  settle();
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
  DevicePathMemo memo;
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
  DevicePathMemo memo;
  if (!answerOldestAuthentication(answer)) throw ScenarioError{"auth: no prompt is pending"};
  settle();
}

void HomeScreen::retryAuthentication(const std::string& bundleID) {
  requireBooted("retry-auth");
  id page = nil;
  for (const Strong& p : switcherPages()) {
    if (stdString(fields<SwitcherPageObj>(p)->bundleIdentifier) == bundleID) page = p;
  }
  if (!page) {
    throw ScenarioError{"retry-auth: " + bundleID +
                        " has no switcher page (bring it to the front)"};
  }
  if (!msgSend<BOOL>(page, SELECTOR("respondsToSelector:"), SELECTOR("retryAuth"))) {
    throw ScenarioError{"retry-auth: the switcher page has no retryAuth (the library adds it)"};
  }
  DevicePathMemo memo;
  AutoreleasePool pool;
  Strong held = page;
  msgSend<void>(page, SELECTOR("retryAuth"));
  settle();
}

void HomeScreen::setFrontmost(const std::string& bundleID) {
  AppState* a = app(bundleID);
  if (!a || a->uninstalled) return;
  frontmost_ = bundleID;
  screen_ = Screen::App;
  a->running = true;
  journal_.appChanged(bundleID);
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
  DevicePathMemo memo;
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
    if (hostClasses_ >= 15) {
      msgSend<void>(p.get(), SELECTOR("setOverlay:"), static_cast<id>(nil));
    } else {
      msgSend<void>(p.get(), SELECTOR("setOverlay:animated:"), static_cast<id>(nil), YES);
    }
  }
  settle();
}

void HomeScreen::openSwitcher() {
  requireBooted("switcher");
  DevicePathMemo memo;
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
  DevicePathMemo memo;
  AutoreleasePool pool;
  // Which entry 15's search calls is not known: the host takes the newer form, with a
  // completion handler. 16's search opens apps through no method of SearchUIUtilities: the host
  // takes it that the app comes forward as from anywhere else, its page's overlay changing.
  if (hostClasses_ >= 16) {
    bringToFront(bundleID);
  } else if (hostClasses_ == 15) {
    msgSend<void>(objc_getClass("SearchUIUtilities"),
                  SELECTOR("openApplicationWithBundleIdentifier:completion:"), makeString(bundleID),
                  static_cast<id>(nil));
  } else {
    msgSend<void>(objc_getClass("SearchUIUtilities"),
                  SELECTOR("openApplicationWithBundleIdentifier:"), makeString(bundleID));
  }
  settle();
}

void HomeScreen::searchOpenActivity(const std::string& bundleID) {
  requireBooted("search-activity");
  DevicePathMemo memo;
  AutoreleasePool pool;
  if (hostClasses_ >= 16) {
    bringToFront(bundleID);
    return;
  }
  id activity = msgSend<id>(objc_getClass("NSObject"), SELECTOR("new"));
  if (hostClasses_ == 15) {
    msgSend<void>(objc_getClass("SearchUIUtilities"),
                  SELECTOR("openUserActivity:applicationBundleIdentifier:completion:"), activity,
                  makeString(bundleID), static_cast<id>(nil));
  } else {
    msgSend<void>(objc_getClass("SearchUIUtilities"),
                  SELECTOR("openUserActivity:applicationBundleIdentifier:"), activity,
                  makeString(bundleID));
  }
  objc_release(activity);
  settle();
}

void HomeScreen::layoutIcons() {
  DevicePathMemo memo;
  for (const IconEntry& e : icons_) {
    AutoreleasePool pool;
    msgSend<void>(e.iconView.get(), SELECTOR("setLabelHidden:"), NO);
    layoutView(e.iconView);
  }
}

void HomeScreen::post(const std::string& name) {
  requireBooted("post");
  DevicePathMemo memo;
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
  journal_.appChanged(bundleID);
}

void HomeScreen::markUninstalled(const std::string& bundleID) {
  AppState* a = app(bundleID);
  if (!a) return;
  a->uninstalled = true;
  a->running = false;
  journal_.appChanged(bundleID);
  if (frontmost_ == bundleID) frontmost_.clear();
  if (frontmost_.empty() && screen_ == Screen::App) screen_ = Screen::Home;
  for (auto it = icons_.begin(); it != icons_.end(); ++it) {
    if (it->kind == IconEntry::Kind::App && it->identifier == bundleID) {
      journal_.iconChanged(it->iconView.get());
      icons_.erase(it);
      indexIcons();
      break;
    }
  }
  a->iconView.reset();
}

void HomeScreen::quitApp(const std::string& bundleID) {
  AppState* a = app(bundleID);
  if (!a) return;
  a->running = false;
  journal_.appChanged(bundleID);
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
