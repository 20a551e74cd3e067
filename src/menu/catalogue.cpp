#include "menu/catalogue.h"

#include "menu/item_table.h"
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

Class shortcutItemClass() {
  static const Class cls = objc_getClass("SBSApplicationShortcutItem");
  return cls;
}

void setSubtitle(id item, const SwitchState& state) {
  SEL setter = SELECTOR("setLocalizedSubtitle:");
  msgSend<void>(item, setter, NS::String::from(state.subtitleNotInList).get());
  if (listContains(state.listKey, bundleID)) {
    msgSend<void>(item, setter, NS::String::from(state.subtitleInList).get());
  }
}

// Makes one item and appends it to `items`.
void appendItem(const NS::MutableArray& items, const MenuItem& row) {
  auto held = qv::StrongRef<id>::adopt(
      msgSend<id>(msgSend<id>(shortcutItemClass(), SELECTOR("alloc")), SELECTOR("init")));
  id item = held;
  msgSend<void>(item, SELECTOR("setLocalizedTitle:"), NS::String::from(row.title).get());
  if (row.isSwitch()) setSubtitle(item, row.state);
  id launch = nil;
  if (row.launch == Launch::Springboard) launch = NSSTR("com.apple.springboard");
  if (row.launch == Launch::App) launch = bundleID;
  msgSend<void>(item, SELECTOR("setBundleIdentifierToLaunch:"), launch);
  if (row.launch == Launch::Springboard) {
    msgSend<void>(item, SELECTOR("setTargetContentIdentifier:"),
                  NSSTR("com.apple.springboard").get());
  }
  msgSend<void>(item, SELECTOR("setType:"), NSSTR(kItemType).get());
  items.addObject(item);
}

void appendOfferedItems(const NS::MutableArray& items, qv::Span<MenuItem> rows) {
  for (const MenuItem& row : rows) {
    if (settings.*row.offered) appendItem(items, row);
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
  appendOfferedItems(items, contextMenuItems());
  return items;
}

id hook12ProviderShortcutItems(id self, SEL cmd) {
  recordBundleID(msgSend<id>(self, SELECTOR("applicationBundleIdentifier")));
  id hostList = qv::Hook<hook12ProviderShortcutItems>::previous(self, cmd);
  if (!bundleID) return hostList;
  NS::MutableArray items = mutableItems(hostList);
  appendOfferedItems(items, platterItems());
  return items;
}

}  // namespace quorvel
