// A JSON value: what `dump` reports, readable by tests and printable by the simulator. Reading
// is lenient (a missing member or a value of another type reads as null, "", 0 or false) and
// hands out references into the value; the text, both ways, is nlohmann::json's.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace qv::host {

class Json {
 public:
  using Array = std::vector<Json>;
  // Members keep their insertion order.
  using Object = std::vector<std::pair<std::string, Json>>;

  Json() = default;  // null
  Json(std::nullptr_t) {}
  Json(bool b) : value_(b) {}
  Json(int n) : value_(static_cast<double>(n)) {}
  Json(long n) : value_(static_cast<double>(n)) {}
  Json(long long n) : value_(static_cast<double>(n)) {}
  Json(unsigned long n) : value_(static_cast<double>(n)) {}
  Json(double d) : value_(d) {}
  Json(const char* s) : value_(std::string(s)) {}
  Json(std::string s) : value_(std::move(s)) {}
  Json(Array a) : value_(std::move(a)) {}
  Json(Object o) : value_(std::move(o)) {}

  static Json array() { return Json(Array{}); }
  static Json object() { return Json(Object{}); }

  bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
  bool isBool() const { return std::holds_alternative<bool>(value_); }
  bool isNumber() const { return std::holds_alternative<double>(value_); }
  bool isString() const { return std::holds_alternative<std::string>(value_); }
  bool isArray() const { return std::holds_alternative<Array>(value_); }
  bool isObject() const { return std::holds_alternative<Object>(value_); }

  bool asBool() const { return isBool() && std::get<bool>(value_); }
  double asNumber() const { return isNumber() ? std::get<double>(value_) : 0; }
  // On a temporary these return copies, so `for (auto& x : dump()["a"].items())` stays valid.
  const std::string& asString() const&;
  std::string asString() const&& { return asString(); }
  const Array& items() const&;
  Array items() const&& { return items(); }
  const Object& members() const&;
  Object members() const&& { return members(); }

  // Object member access; a missing member reads as null.
  const Json& operator[](const std::string& key) const&;
  Json operator[](const std::string& key) const&& { return (*this)[key]; }
  // Array element access; out of range reads as null.
  const Json& operator[](size_t index) const&;
  Json operator[](size_t index) const&& { return (*this)[index]; }
  size_t size() const;
  bool has(const std::string& key) const;

  // Building.
  Json& set(const std::string& key, Json value);
  Json& push(Json value);

  // Compact on one line, or indented by two spaces. Always valid JSON: text that is not UTF-8
  // has its bad bytes replaced by U+FFFD, and numbers that are not finite are written as null.
  std::string dump(bool pretty = false) const;
  // The value a text holds; nothing when it is not exactly one JSON value (or not UTF-8).
  static std::optional<Json> parse(const std::string& text);

  // Same value (numbers compare by value).
  bool operator==(const Json& other) const { return value_ == other.value_; }

 private:
  std::variant<std::monostate, bool, double, std::string, Array, Object> value_;
};

}  // namespace qv::host
