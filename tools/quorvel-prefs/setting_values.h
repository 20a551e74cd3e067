// Values of settings: the words a person types, the objects stored in the property list, and
// the values the library reads from those objects.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/objc.h"
#include "schema/settings_schema.h"

namespace qv::prefs {

// The typed value of `text` for `key`; throws Failure naming the key and what it takes.
SettingValue requireSettingValue(const SettingKey& key, std::string_view text);

// An autoreleased property-list object holding the value.
id settingObject(const SettingValue& value);

// The value the library reads from a stored object (nil: not set), as text: "true", "0.6".
// Like the library, an object without a boolean or number reading gives the default.
std::string effectiveText(const SettingKey& key, id stored);

// Whether a stored object is of the key's own type (a boolean or a number).
bool storedAsExpected(const SettingKey& key, id stored);

// A stored object as a person reads it: text in quotes, numbers, "an array of 2", ...
std::string describeObject(id object);

}  // namespace qv::prefs
