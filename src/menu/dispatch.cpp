#include "menu/dispatch.h"

#include "menu/app_lock_toggle.h"
#include "menu/catalogue.h"
#include "menu/item_table.h"
#include "platform/foundation.h"
#include "platform/substrate.h"
#include "settings/app_lists.h"

namespace quorvel {

namespace {

bool isLibraryItem(id item) {
  return NS::String(msgSend<id>(item, SELECTOR("type"))).isEqualToString(NSSTR(kItemType));
}

// The table entry of one of our items, by its title; null for a title the family lacks.
const MenuItem* entryOf(qv::Span<MenuItem> items, id item) {
  return itemTitled(items, NS::String(msgSend<id>(item, SELECTOR("localizedTitle"))));
}

}  // namespace

BOOL hookShouldActivate(id self, SEL cmd, id iconView, id item, NSUInteger index) {
  if (!isLibraryItem(item)) {
    if (isAppLocked(bundleID)) return NO;
    return qv::Hook<hookShouldActivate>::previous(self, cmd, iconView, item, index);
  }
  if (const MenuItem* entry = entryOf(contextMenuItems(), item)) entry->act(bundleID, nil);
  return NO;
}

// Version 12 closes the menu itself after each action.
void hook12ActivateShortcut(id self, SEL cmd, id shortcutController, id item) {
  if (!isLibraryItem(item)) {
    if (isAppLocked(bundleID)) return;
    qv::Hook<hook12ActivateShortcut>::previous(self, cmd, shortcutController, item);
    return;
  }
  const MenuItem* entry = entryOf(platterItems(), item);
  if (!entry) return;
  entry->act(bundleID, self);
  if (!entry->closesMenuItself) dismissForceTouchMenu(self);
}

}  // namespace quorvel
