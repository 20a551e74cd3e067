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

std::string lowercase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The shortest text that reads back as the same float: 0.6f is "0.6", not "0.60000002".
std::string floatText(float value) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc() ? std::string(buf, end) : "?";
}

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

std::optional<bool> parseBooleanWord(std::string_view text) {
  std::string word = lowercase(text);
  for (const char* yes : {"true", "yes", "on", "1"}) {
    if (word == yes) return true;
  }
  for (const char* no : {"false", "no", "off", "0"}) {
    if (word == no) return false;
  }
  return std::nullopt;
}

std::optional<double> parseDecimal(std::string_view text) {
  // strtod also takes "nan", "inf", hexadecimal and leading blanks; only plain decimals pass.
  if (text.empty() || text.size() > 64) return std::nullopt;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+' &&
        c != 'e' && c != 'E') {
      return std::nullopt;
    }
  }
  std::string copy(text);
  char* end = nullptr;
  double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

SettingValue parseSettingValue(const SettingKey& key, std::string_view text) {
  const std::string shown = "\"" + std::string(text) + "\"";
  if (key.type == KeyType::Boolean) {
    if (std::optional<bool> value = parseBooleanWord(text)) return *value;
    throw Failure{std::string(key.name) +
                  " takes a boolean (true/false, yes/no, on/off, 1/0), not " + shown};
  }
  std::optional<double> value = parseDecimal(text);
  if (!value || *value < key.minimum || *value > key.maximum) {
    throw Failure{std::string(key.name) + " takes a number from " + floatText(key.minimum) +
                  " to " + floatText(key.maximum) + ", not " + shown};
  }
  return *value == 0 ? 0.0 : *value;  // no "-0" in the file
}

id settingObject(const SettingValue& value) {
  if (const bool* flag = std::get_if<bool>(&value)) return host::makeBool(*flag);
  return host::makeDouble(std::get<double>(value));
}

std::string defaultText(const SettingKey& key) {
  if (key.type == KeyType::Boolean) return key.booleanDefault ? "true" : "false";
  return floatText(key.numberDefault);
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
