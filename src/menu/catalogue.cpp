#include "menu/catalogue.h"

#include "bootstrap/hook_support.h"
#include "platform/foundation.h"
#include "settings/app_lists.h"
#include "settings/settings_cache.h"

extern "C" {
QV_EXPORT id bundleID = nil;
}

namespace quorvel {

IMP prev14BundleIdentifierForShortcuts = nullptr;
IMP prev13BundleIdentifierForShortcuts = nullptr;
IMP prev14ShortcutItems = nullptr;
IMP prev13ShortcutItems = nullptr;
IMP prev12ProviderShortcutItems = nullptr;

namespace {

enum class Family { ContextMenu, Platter };
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

const CatalogueRow kContextMenuRows[] = {
    {"Offload App", &SettingsCache::demoteApp, Launch::Springboard, true, {}},
    {"Bundle Identifier", &SettingsCache::copyBundleId, Launch::Springboard, true, {}},
    {"Clear Badge", &SettingsCache::clearBadges, Launch::Springboard, true, {}},
    {"Clear Caches", &SettingsCache::clearCaches, Launch::Nothing, false, {}},
    {"App Lock",
     &SettingsCache::appLock,
     Launch::Nothing,
     false,
     {"lockedApps", "App is locked", "App is unlocked"}},
    {"Notifications",
     &SettingsCache::notifications,
     Launch::Nothing,
     false,
     {"disableNotifications", "Notifications Off", "Notifications On"}},
    {"Banners",
     &SettingsCache::banners,
     Launch::Nothing,
     false,
     {"disableBanners", "Banners Off", "Banners On"}},
};

const CatalogueRow kPlatterRows[] = {
    {"Offload App", &SettingsCache::demoteApp, Launch::Nothing, false, {}},
    {"Bundle Identifier", &SettingsCache::copyBundleId, Launch::Nothing, false, {}},
    {"Uninstall App", &SettingsCache::uninstall, Launch::App, false, {}},
    {"Clear Badge", &SettingsCache::clearBadges, Launch::Nothing, false, {}},
    {"Clear Caches", &SettingsCache::clearCaches, Launch::Nothing, false, {}},
    {"App Lock",
     &SettingsCache::appLock,
     Launch::Nothing,
     false,
     {"lockedApps", "App is locked", "App is unlocked"}},
    {"Notifications",
     &SettingsCache::notifications,
     Launch::Nothing,
     false,
     {"disableNotifications", "Notifications Disabled", "Notifications Enabled"}},
    {"Banners",
     &SettingsCache::banners,
     Launch::Nothing,
     false,
     {"disableBanners", "Banners Disabled", "Banners Enabled"}},
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
  id item = msgSend<id>(msgSend<id>(shortcutItemClass(), SELECTOR("alloc")), SELECTOR("init"));
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
  objc_release(item);
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

void recordBundleID(id identifier) {
  objc_retain(identifier);
  objc_release(bundleID);
  bundleID = identifier;
}

id recordIdentifierForShortcuts(IMP previous, id self, SEL cmd) {
  id identifier = callPrevious<id>(previous, self, cmd);
  NSLog(NSSTR("%@"), identifier);
  recordBundleID(identifier);
  return identifier;
}

id contextMenuItems(IMP previous, id self, SEL cmd, bool skipWidgets) {
  id hostList = callPrevious<id>(previous, self, cmd);
  if (msgSend<BOOL>(self, SELECTOR("isFolderIcon"))) return hostList;
  if (skipWidgets && NS::Object(msgSend<id>(self, SELECTOR("icon")))
                         .respondsToSelector(SELECTOR("initWithWidget:"))) {
    return hostList;
  }
  NS::MutableArray items = mutableItems(hostList);
  appendEnabledRows(items, kContextMenuRows);
  return items;
}

}  // namespace

id hook14BundleIdentifierForShortcuts(id self, SEL cmd) {
  return recordIdentifierForShortcuts(prev14BundleIdentifierForShortcuts, self, cmd);
}

id hook13BundleIdentifierForShortcuts(id self, SEL cmd) {
  return recordIdentifierForShortcuts(prev13BundleIdentifierForShortcuts, self, cmd);
}

id hook14ShortcutItems(id self, SEL cmd) {
  return contextMenuItems(prev14ShortcutItems, self, cmd, true);
}

id hook13ShortcutItems(id self, SEL cmd) {
  return contextMenuItems(prev13ShortcutItems, self, cmd, false);
}

id hook12ProviderShortcutItems(id self, SEL cmd) {
  recordBundleID(msgSend<id>(self, SELECTOR("applicationBundleIdentifier")));
  if (!bundleID) return callPrevious<id>(prev12ProviderShortcutItems, self, cmd);
  NS::MutableArray items = mutableItems(callPrevious<id>(prev12ProviderShortcutItems, self, cmd));
  appendEnabledRows(items, kPlatterRows);
  return items;
}

}  // namespace quorvel
