// The two alerts: the bundle identifier and the uninstall confirmation.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// "Quorvel" alert showing the identifier; "Copy Bundle ID" copies that same identifier.
void showBundleIdentifierAlert(id bundleIdentifier);
// "Uninstall this app ?"; "Uninstall App" uninstalls the app the alert was built for.
void showUninstallAlert(id bundleIdentifier);

}  // namespace quorvel
