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

// SBIconView -applicationBundleIdentifierForShortcuts (versions 14 and 13).
id hookBundleIdentifierForShortcuts(id self, SEL cmd);
// SBIconView -applicationShortcutItems (versions 14 and 13).
id hookShortcutItems(id self, SEL cmd);
// SBUIAppIconForceTouchControllerDataProvider -applicationShortcutItems (version 12).
id hook12ProviderShortcutItems(id self, SEL cmd);

}  // namespace quorvel
