// Actions on the app itself through system services. Each acts on the identifier given,
// does nothing without one, and reports nothing.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// Empties tmp, Library/Caches and Library/Application Support/Dropbox in the data container.
void clearCaches(id bundleIdentifier);
// Flips the app in disableNotifications and applies the result to its notification section.
void toggleNotifications(id bundleIdentifier);
// Flips the app in disableBanners and applies the result as its alert type.
void toggleBanners(id bundleIdentifier);
void offloadApp(id bundleIdentifier);
void copyBundleIdentifier(id bundleIdentifier);
void uninstallApp(id bundleIdentifier);

}  // namespace quorvel
