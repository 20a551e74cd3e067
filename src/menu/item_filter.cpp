#include "menu/item_filter.h"

#include "platform/foundation.h"
#include "platform/substrate.h"
#include "settings/settings_cache.h"

namespace quorvel {

namespace {

NS::String rearrangeType() {
  return NSSTR("com.apple.springboardhome.application-shortcut-item.rearrange-icons");
}
NS::String removeType() {
  return NSSTR("com.apple.springboardhome.application-shortcut-item.remove-app");
}
NS::String deleteType() {
  return NSSTR("com.apple.springboardhome.application-shortcut-item.delete-app");
}
NS::String shareType() {
  return NSSTR("com.apple.springboardhome.application-shortcut-item.share");
}

// The items of `items` for which `keep(item, type)` holds, in their order.
template <class Keep>
NS::MutableArray keptItems(id items, Keep keep) {
  NS::MutableArray kept = NS::MutableArray::array();
  NS::Array given(items);
  NSUInteger count = given.count();
  for (NSUInteger i = 0; i < count; i++) {
    NS::Object item = given.objectAtIndex(i);
    if (keep(NS::String(item.send<id>(SELECTOR("type"))))) kept.addObject(item);
  }
  return kept;
}

}  // namespace

// Only the three home-screen items pass, each unless its switch hides it.
void hook14SetShortcutItems(id self, SEL cmd, id items) {
  NS::MutableArray kept = keptItems(items, [](const NS::String& type) {
    NSLog(NSSTR("Product:- %@"), type.get());
    if (type.isEqual(rearrangeType())) return !settings.hideEdit;
    if (type.isEqual(removeType())) return !settings.hideDelete;
    if (type.isEqual(shareType())) return !settings.hideShare;
    return false;
  });
  qv::Hook<hook14SetShortcutItems>::previous(self, cmd, kept);
}

// Hidden home-screen items are dropped; every other item passes in its place.
void hook13SetShortcutItems(id self, SEL cmd, id items) {
  NS::MutableArray kept = keptItems(items, [](const NS::String& type) {
    if (type.isEqual(deleteType())) return !settings.hideDelete;
    if (type.isEqual(shareType())) return !settings.hideShare;
    if (type.isEqual(rearrangeType())) return !settings.hideEdit;
    return true;
  });
  qv::Hook<hook13SetShortcutItems>::previous(self, cmd, kept);
}

}  // namespace quorvel
