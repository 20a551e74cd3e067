#include "menu/item_filter.h"

#include "bootstrap/hook_support.h"
#include "platform/foundation.h"
#include "settings/settings_cache.h"

namespace quorvel {

IMP prev14SetShortcutItems = nullptr;
IMP prev13SetShortcutItems = nullptr;

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

NS::String typeOf(const NS::Object& item) { return NS::String(item.send<id>(SELECTOR("type"))); }

}  // namespace

// Only the three home-screen items pass, each unless its switch hides it.
void hook14SetShortcutItems(id self, SEL cmd, id items) {
  NS::MutableArray kept = NS::MutableArray::array();
  NS::Array given(items);
  NSUInteger count = given.count();
  for (NSUInteger i = 0; i < count; i++) {
    NS::Object item = given.objectAtIndex(i);
    NS::String type = typeOf(item);
    NSLog(NSSTR("Product:- %@"), type.get());
    if (type.isEqual(rearrangeType()) && !settings.hideEdit) kept.addObject(item);
    if (type.isEqual(removeType()) && !settings.hideDelete) kept.addObject(item);
    if (type.isEqual(shareType()) && !settings.hideShare) kept.addObject(item);
  }
  callPrevious<void>(prev14SetShortcutItems, self, cmd, kept.get());
}

// Hidden home-screen items are dropped; every other item passes in its place.
void hook13SetShortcutItems(id self, SEL cmd, id items) {
  NS::MutableArray kept = NS::MutableArray::array();
  NS::Array given(items);
  NSUInteger count = given.count();
  for (NSUInteger i = 0; i < count; i++) {
    NS::Object item = given.objectAtIndex(i);
    NS::String type = typeOf(item);
    bool keep;
    if (type.isEqual(deleteType())) {
      keep = !settings.hideDelete;
    } else if (type.isEqual(shareType())) {
      keep = !settings.hideShare;
    } else if (type.isEqual(rearrangeType())) {
      keep = !settings.hideEdit;
    } else {
      keep = true;
    }
    if (keep) kept.addObject(item);
  }
  callPrevious<void>(prev13SetShortcutItems, self, cmd, kept.get());
}

}  // namespace quorvel
