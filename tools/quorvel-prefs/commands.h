// Carrying out an action on the device's settings, through CFPreferences.
#pragma once

#include <ostream>

#include "action.h"

namespace qv::prefs {

struct Context {
  bool force = false;  // change settings whose file is unusable instead of refusing
  std::ostream& out;
  std::ostream& err;  // warnings
};

// Throws Failure. Writes post the library's reload notification.
void perform(const Action& action, Context& context);

// The commands on the settings domain (settings_commands.cpp).
void listSettings(Context& context);
void getSetting(const SettingKey& key, Context& context);
void getAppList(const std::string& name, Context& context);
void setSetting(const SettingKey& key, const SettingValue& value, Context& context);
void resetSetting(const SettingKey& key, Context& context);
void resetAllSettings(Context& context);

// The colour list (color_command.cpp).
void setStaticColour(const std::string& text, Context& context);
// The staticColor entry as it is stored, for the listing ("" when not set).
std::string storedStaticColour(Context& context);

}  // namespace qv::prefs
