#include "menu/catalogue.h"

#include "platform/foundation.h"
#include "platform/ownership.h"
#include "platform/substrate.h"
#include "settings/app_lists.h"
#include "settings/settings_cache.h"

extern "C" {
QV_EXPORT id bundleID = nil;
}

namespace quorvel {

namespace {

enum class Launch { Springboard, App, Nothing };

// A stateful item shows which of two subtitles by its app's membership in a list.
struct StateSubtitles {
  const char* listKey;
  const char* inList;
  const char* notInList;
};

struct CatalogueRow {
  const char* title;
  bool SettingsCache::*enabled;
  Launch launch;
  bool targetsSpringboard;
  StateSubtitles state;
};

// Rows both families share, and the two switches whose subtitles each family words its way.
constexpr CatalogueRow kClearCaches = {
    "Clear Caches", &SettingsCache::clearCaches, Launch::Nothing, false, {}};
constexpr CatalogueRow kAppLock = {"App Lock",
                                   &SettingsCache::appLock,
                                   Launch::Nothing,
                                   false,
                                   {"lockedApps", "App is locked", "App is unlocked"}};
constexpr CatalogueRow notifications(const char* off, const char* on) {
  return {"Notifications",
          &SettingsCache::notifications,
          Launch::Nothing,
          false,
          {"disableNotifications", off, on}};
}
constexpr CatalogueRow banners(const char* off, const char* on) {
  return {"Banners", &SettingsCache::banners, Launch::Nothing, false, {"disableBanners", off, on}};
}

constexpr CatalogueRow kContextMenuRows[] = {
    {"Offload App", &SettingsCache::demoteApp, Launch::Springboard, true, {}},
    {"Bundle Identifier", &SettingsCache::copyBundleId, Launch::Springboard, true, {}},
    {"Clear Badge", &SettingsCache::clearBadges, Launch::Springboard, true, {}},
    kClearCaches,
    kAppLock,
    notifications("Notifications Off", "Notifications On"),
    banners("Banners Off", "Banners On"),
};

constexpr CatalogueRow kPlatterRows[] = {
    {"Offload App", &SettingsCache::demoteApp, Launch::Nothing, false, {}},
    {"Bundle Identifier", &SettingsCache::copyBundleId, Launch::Nothing, false, {}},
    {"Uninstall App", &SettingsCache::uninstall, Launch::App, false, {}},
    {"Clear Badge", &SettingsCache::clearBadges, Launch::Nothing, false, {}},
    kClearCaches,
    kAppLock,
    notifications("Notifications Disabled", "Notifications Enabled"),
    banners("Banners Disabled", "Banners Enabled"),
};

Class shortcutItemClass() {
  static const Class cls = objc_getClass("SBSApplicationShortcutItem");
  return cls;
}

void setSubtitle(id item, const StateSubtitles& state) {
  SEL setter = SELECTOR("setLocalizedSubtitle:");
  msgSend<void>(item, setter, NS::String::from(state.notInList).get());
  if (listContains(state.listKey, bundleID)) {
    msgSend<void>(item, setter, NS::String::from(state.inList).get());
  }
}

// Makes one item and appends it to `items`.
void appendItem(const NS::MutableArray& items, const CatalogueRow& row) {
  auto held = qv::StrongRef<id>::adopt(
      msgSend<id>(msgSend<id>(shortcutItemClass(), SELECTOR("alloc")), SELECTOR("init")));
  id item = held;
  msgSend<void>(item, SELECTOR("setLocalizedTitle:"), NS::String::from(row.title).get());
  if (row.state.listKey) setSubtitle(item, row.state);
  id launch = nil;
  if (row.launch == Launch::Springboard) launch = NSSTR("com.apple.springboard");
  if (row.launch == Launch::App) launch = bundleID;
  msgSend<void>(item, SELECTOR("setBundleIdentifierToLaunch:"), launch);
  if (row.targetsSpringboard) {
    msgSend<void>(item, SELECTOR("setTargetContentIdentifier:"),
                  NSSTR("com.apple.springboard").get());
  }
  msgSend<void>(item, SELECTOR("setType:"), NSSTR(kItemType).get());
  items.addObject(item);
}

template <size_t N>
void appendEnabledRows(const NS::MutableArray& items, const CatalogueRow (&rows)[N]) {
  for (const CatalogueRow& row : rows) {
    if (settings.*row.enabled) appendItem(items, row);
  }
}

// A mutable copy of the host's list, or a new empty array.
NS::MutableArray mutableItems(id hostList) {
  if (!hostList) return NS::MutableArray::array();
  return NS::MutableArray(NS::Array(hostList).mutableCopy().autorelease().get());
}

void recordBundleID(id identifier) { qv::storeStrong(&bundleID, identifier); }

}  // namespace

id hookBundleIdentifierForShortcuts(id self, SEL cmd) {
  id identifier = qv::Hook<hookBundleIdentifierForShortcuts>::previous(self, cmd);
  NSLog(NSSTR("%@"), identifier);
  recordBundleID(identifier);
  return identifier;
}

// Folders and widget icons (which only the version-14 host has) keep the host's list.
id hookShortcutItems(id self, SEL cmd) {
  id hostList = qv::Hook<hookShortcutItems>::previous(self, cmd);
  if (msgSend<BOOL>(self, SELECTOR("isFolderIcon"))) return hostList;
  if (NS::Object(msgSend<id>(self, SELECTOR("icon")))
          .respondsToSelector(SELECTOR("initWithWidget:"))) {
    return hostList;
  }
  NS::MutableArray items = mutableItems(hostList);
  appendEnabledRows(items, kContextMenuRows);
  return items;
}

id hook12ProviderShortcutItems(id self, SEL cmd) {
  recordBundleID(msgSend<id>(self, SELECTOR("applicationBundleIdentifier")));
  id hostList = qv::Hook<hook12ProviderShortcutItems>::previous(self, cmd);
  if (!bundleID) return hostList;
  NS::MutableArray items = mutableItems(hostList);
  appendEnabledRows(items, kPlatterRows);
  return items;
}

}  // namespace quorvel
