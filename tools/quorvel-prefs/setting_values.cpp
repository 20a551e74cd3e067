#include "setting_values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "failure.h"
#include "foundation/values.h"

namespace qv::prefs {

using host::arrayItems;
using host::isArray;
using host::isDictionary;
using host::isNumber;
using host::isString;

namespace {

bool respondsTo(id object, SEL sel) {
  return object && class_respondsToSelector(object_getClass(object), sel);
}

// The C type a number was made from, by its encoding: a switch is stored as a BOOL ("c").
enum class NumberKind { Bool, Integer, Real };
NumberKind numberKind(id number) {
  std::string_view type = msgSend<const char*>(number, SELECTOR("objCType"));
  if (type == "c" || type == "B") return NumberKind::Bool;
  if (type == "f" || type == "d") return NumberKind::Real;
  return NumberKind::Integer;
}

}  // namespace

SettingValue requireSettingValue(const SettingKey& key, std::string_view text) {
  ParsedSetting parsed = parseSettingValue(key, text);
  if (!parsed.value) throw Failure{parsed.refusal};
  return *parsed.value;
}

id settingObject(const SettingValue& value) {
  if (const bool* flag = std::get_if<bool>(&value)) return host::makeBool(*flag);
  return host::makeDouble(std::get<double>(value));
}

std::string effectiveText(const SettingKey& key, id stored) {
  if (key.type == KeyType::Boolean) {
    if (!respondsTo(stored, SELECTOR("boolValue"))) return defaultText(key);
    return msgSend<BOOL>(stored, SELECTOR("boolValue")) ? "true" : "false";
  }
  if (!respondsTo(stored, SELECTOR("floatValue"))) return defaultText(key);
  return floatText(msgSend<float>(stored, SELECTOR("floatValue")));
}

bool storedAsExpected(const SettingKey& key, id stored) {
  if (!isNumber(stored)) return false;
  bool isBoolean = numberKind(stored) == NumberKind::Bool;
  return isBoolean == (key.type == KeyType::Boolean);
}

std::string describeObject(id object) {
  if (!object) return "nothing";
  if (isString(object)) return "\"" + host::stdString(object) + "\"";
  if (isNumber(object)) {
    switch (numberKind(object)) {
      case NumberKind::Bool:
        return msgSend<BOOL>(object, SELECTOR("boolValue")) ? "true" : "false";
      case NumberKind::Integer:
        return std::to_string(msgSend<long long>(object, SELECTOR("longLongValue")));
      case NumberKind::Real: {
        char buf[32];
        auto [end, ec] =
            std::to_chars(buf, buf + sizeof buf, msgSend<double>(object, SELECTOR("doubleValue")));
        return ec == std::errc() ? std::string(buf, end) : "a number";
      }
    }
  }
  if (isArray(object)) return "an array of " + std::to_string(arrayItems(object).size());
  if (isDictionary(object)) return "a dictionary";
  if (host::isData(object)) return "data";
  return std::string("an object of class ") + class_getName(object_getClass(object));
}

}  // namespace qv::prefs
