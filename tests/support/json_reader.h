// Reading JSON in tests, strictly: a dump, or a line quorvel-sim printed. Reaching a member that
// is not there, an index out of range, or asking a value for another type than it holds throws
// JsonReadError naming the path ("menu.items[2].subtitle"), which fails the test. So "absent" is
// asked with has(), and isNull() is true only of a member that is there and null.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "springboard/json.h"

namespace qv::testing {

struct JsonReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Json {
 public:
  Json() : Json(host::Json()) {}
  Json(host::Json value);  // implicit: a dump converts to its reading

  Json operator[](const std::string& key) const;
  Json operator[](size_t index) const;
  bool has(const std::string& key) const;  // of an object
  size_t size() const;                     // of an array or object

  bool isNull() const { return value_->is_null(); }
  bool isBool() const { return value_->is_boolean(); }
  bool isNumber() const { return value_->is_number(); }
  bool isString() const { return value_->is_string(); }
  bool isArray() const { return value_->is_array(); }
  bool isObject() const { return value_->is_object(); }

  bool asBool() const;
  double asNumber() const;
  std::string asString() const;
  std::vector<Json> items() const;
  std::vector<std::pair<std::string, Json>> members() const;

  // The text, as quorvel-sim prints it.
  std::string dump() const { return host::jsonText(*value_); }
  const host::Json& value() const { return *value_; }
  // Where the value is in the whole ("" for the whole itself).
  const std::string& path() const { return path_; }

 private:
  Json(std::shared_ptr<const host::Json> root, const host::Json* value, std::string path)
      : root_(std::move(root)), value_(value), path_(std::move(path)) {}
  [[noreturn]] void fail(const std::string& problem) const;
  void require(bool holds, const char* type) const;

  std::shared_ptr<const host::Json> root_;  // keeps what value_ points into
  const host::Json* value_;
  std::string path_;
};

// The element of an array whose member `key` is the text `value`; throws JsonReadError when no
// element is.
Json elementWith(const Json& array, const std::string& key, const std::string& value);

// The value the whole text holds; nothing when it is not exactly one JSON value in UTF-8.
std::optional<Json> parseJson(const std::string& text);

}  // namespace qv::testing
