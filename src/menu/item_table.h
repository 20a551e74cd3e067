// The library's menu items, each defined once per family: the catalogue builds its rows from
// them, dispatch acts on the tapped one, and the item icons are chosen from them.
#pragma once

#include "platform/foundation.h"
#include "platform/freestanding.h"
#include "settings/settings_cache.h"

namespace quorvel {

// What an item's shortcut launches: nothing, the home screen, or the menu's own app.
enum class Launch { Nothing, Springboard, App };

// A switch shows by its subtitle and its icon whether the menu's app is in the list `listKey`.
struct SwitchState {
  const char* listKey;
  const char* subtitleInList;
  const char* subtitleNotInList;
  const char* iconInList;
};

struct MenuItem {
  const char* title;
  bool SettingsCache::*offered;  // the setting that offers the item
  Launch launch;                 // an item that launches the home screen also targets its content
  SwitchState state;             // all null for an item that is no switch
  const char* icon;              // the file of the item (of a switch: not in its list); null: none
  // Runs the item for the menu's app. `forceTouchController` is the version-12 menu's
  // controller, nil in the context menus.
  void (*act)(id bundleIdentifier, id forceTouchController);
  // App Lock closes the version-12 menu itself, once locked or unlocked; dispatch closes it
  // after every other item.
  bool closesMenuItself;

  bool isSwitch() const { return state.listKey != nullptr; }
};

// The context menus' items (versions 13 and later) and the force-touch platter's (version 12),
// in menu order.
qv::Span<MenuItem> contextMenuItems();
qv::Span<MenuItem> platterItems();

// The item of `items` with that title, or null. Titles are distinct within a family.
const MenuItem* itemTitled(qv::Span<MenuItem> items, const NS::String& title);

}  // namespace quorvel
