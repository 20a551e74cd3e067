// The quick-action catalogue: the library's items appended to an icon's menu, and `bundleID`.
#pragma once

#include "platform/objc.h"

extern "C" {
// The bundle identifier (NSString) of the app whose menu was prepared last, or nil.
extern id bundleID;
}

namespace quorvel {

// The type every quick-action item carries.
inline constexpr const char* kItemType = "QVUItem";

extern IMP prev14BundleIdentifierForShortcuts;
extern IMP prev13BundleIdentifierForShortcuts;
extern IMP prev14ShortcutItems;
extern IMP prev13ShortcutItems;
extern IMP prev12ProviderShortcutItems;

// SBIconView -applicationBundleIdentifierForShortcuts (versions 14 and 13).
id hook14BundleIdentifierForShortcuts(id self, SEL cmd);
id hook13BundleIdentifierForShortcuts(id self, SEL cmd);
// SBIconView -applicationShortcutItems (versions 14 and 13).
id hook14ShortcutItems(id self, SEL cmd);
id hook13ShortcutItems(id self, SEL cmd);
// SBUIAppIconForceTouchControllerDataProvider -applicationShortcutItems (version 12).
id hook12ProviderShortcutItems(id self, SEL cmd);

}  // namespace quorvel
