// What a command line asks for, checked in full before any file is read or written.
#pragma once

#include <string>
#include <vector>

#include "schema/settings_schema.h"
#include "setting_values.h"

namespace qv::prefs {

struct Action {
  enum class Kind { List, Get, GetAppList, Set, Reset, ResetAll, StaticColor, Pane };
  Kind kind = Kind::List;
  const SettingKey* key = nullptr;  // Get, Set, Reset
  std::string appList;              // GetAppList
  SettingValue value;               // Set
  std::string colourText;           // StaticColor
};

// `words` are the command and its arguments. Throws Failure: Usage for an unknown command or
// a wrong number of arguments, Refused for an unknown key or a value it does not take.
Action parseAction(const std::vector<std::string>& words);

}  // namespace qv::prefs
