// The home-screen host's shortcut items, apps, badges and switcher, made and read from C++.
#pragma once

#include <string>
#include <vector>

#include "platform/objc.h"
#include "runtime/object_refs.h"
#include "springboard/home_screen.h"

namespace qv::host {

id newLabelView(const std::string& text);
id makeShortcutItem(const std::string& type, const std::string& title);
std::string itemType(id item);
std::string itemTitle(id item);
std::string itemSubtitle(id item);

// The app object of a bundle identifier, or nil.
id applicationObject(const std::string& bundleID);
// Updates an icon view's badge view from its app's badge value.
void refreshBadge(id iconView);
// The type strings of the home-screen items.
std::string rearrangeItemType();
std::string shareItemType();
std::string removeItemType(Family family);

// The switcher controller once it exists.
id mainSwitcher();
id ensureMainSwitcher();
id makeAppLayout(const std::string& bundleID);
// The bundle identifier of a layout's primary item (role 1), or "".
std::string layoutBundleID(id layout);
std::vector<Strong>& switcherPages();
std::vector<Strong>& switcherCards();

// The info object the host hands an app object at creation.
id makeApplicationInfo(const std::string& bundleID, const std::string& name);

// The app's icon image (decoded once, kept in memory by the host).
id appIconImage(const std::string& bundleID);

}  // namespace qv::host
