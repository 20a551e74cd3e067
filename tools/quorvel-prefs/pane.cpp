#include "pane.h"

#include <charconv>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "foundation/property_list.h"
#include "foundation/values.h"
#include "runtime/object_refs.h"
#include "schema/settings_schema.h"

namespace qv::prefs {
namespace {

using Entries = std::vector<std::pair<id, id>>;

id cell(const Entries& entries) { return host::makeDictionary(entries); }

id text(const char* s) { return host::makeString(s); }

// A 32-bit setting as the decimal it was written as (0.6, not 0.60000002384...).
id decimal(float value) {
  char digits[32];
  auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return host::makeDouble(std::strtod(std::string(digits, end).c_str(), nullptr));
}

id group(const char* label) {
  return cell({{text("cell"), text("PSGroupCell")}, {text("label"), text(label)}});
}

// A slider cell shows no label, so a slider's label is the header of a group of its own (see
// paneXML); a switch carries its own.
id settingCell(const SettingKey& key) {
  Entries entries = {
      {text("key"), text(key.name)},
      {text("defaults"), text(kSettingsDomain)},
      {text("PostNotification"), text(kReloadPrefsNotification)},
  };
  if (key.type == KeyType::Boolean) {
    entries.emplace_back(text("label"), text(key.label));
    entries.emplace_back(text("cell"), text("PSSwitchCell"));
    entries.emplace_back(text("default"), host::makeBool(key.booleanDefault));
  } else {
    entries.emplace_back(text("cell"), text("PSSliderCell"));
    entries.emplace_back(text("default"), decimal(key.numberDefault));
    entries.emplace_back(text("min"), decimal(key.minimum));
    entries.emplace_back(text("max"), decimal(key.maximum));
    entries.emplace_back(text("showValue"), host::makeBool(true));
  }
  return cell(entries);
}

// The colour list's static colour; without one the menu's static colour is black.
id staticColourCell() {
  return cell({
      {text("cell"), text("PSEditTextCell")},
      {text("label"), text("Static Colour (#RRGGBB)")},
      {text("key"), text(kStaticColorKey)},
      {text("default"), text("#000000")},
      {text("defaults"), text(kColorsDomain)},
      {text("PostNotification"), text(kReloadColorsNotification)},
  });
}

}  // namespace

std::string paneXML() {
  AutoreleasePool pool;
  std::vector<id> items;
  const char* currentGroup = nullptr;
  for (const SettingKey& key : settingKeys()) {
    if (key.type == KeyType::Number) {
      // The slider's label heads it; whatever follows opens its own section again.
      currentGroup = key.label;
      items.push_back(group(key.label));
    } else if (!currentGroup || std::string(currentGroup) != key.group) {
      currentGroup = key.group;
      items.push_back(group(key.group));
    }
    items.push_back(settingCell(key));
    if (std::string(key.name) == "useStaticColor") items.push_back(staticColourCell());
  }
  id pane = cell({
      {text("title"), text("Quorvel")},
      // PreferenceLoader finds the icon beside the pane's property list; the package ships it
      // at 2x and 3x as well (Quorvel@2x.png, Quorvel@3x.png), which UIKit picks by scale.
      {text("entry"), cell({{text("cell"), text("PSLinkCell")},
                            {text("label"), text("Quorvel")},
                            {text("icon"), text(kPaneIcon)}})},
      {text("items"), host::makeArray(items)},
  });
  return host::propertyListXML(pane);
}

}  // namespace qv::prefs
