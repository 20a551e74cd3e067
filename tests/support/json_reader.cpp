#include "support/json_reader.h"

namespace qv::testing {

namespace {

std::string shown(const std::string& path) { return path.empty() ? "the value" : path; }

}  // namespace

Json::Json(host::Json value) : root_(std::make_shared<const host::Json>(std::move(value))) {
  value_ = root_.get();
}

void Json::fail(const std::string& problem) const { throw JsonReadError("JSON read: " + problem); }

void Json::require(bool holds, const char* type) const {
  if (!holds) fail(shown(path_) + " is " + value_->type_name() + ", not " + type);
}

Json Json::operator[](const std::string& key) const {
  require(isObject(), "an object");
  std::string path = path_.empty() ? key : path_ + "." + key;
  auto found = value_->find(key);
  if (found == value_->end()) fail("no member " + path);
  return Json(root_, &*found, path);
}

Json Json::operator[](size_t index) const {
  require(isArray(), "an array");
  std::string path = path_ + "[" + std::to_string(index) + "]";
  if (index >= value_->size()) {
    fail("no " + path + ": " + shown(path_) + " has " + std::to_string(value_->size()) + " items");
  }
  return Json(root_, &(*value_)[index], path);
}

bool Json::has(const std::string& key) const {
  require(isObject(), "an object");
  return value_->contains(key);
}

size_t Json::size() const {
  require(isArray() || isObject(), "an array or object");
  return value_->size();
}

bool Json::asBool() const {
  require(isBool(), "a boolean");
  return value_->get<bool>();
}

double Json::asNumber() const {
  require(isNumber(), "a number");
  return value_->get<double>();
}

std::string Json::asString() const {
  require(isString(), "a string");
  return value_->get<std::string>();
}

std::vector<Json> Json::items() const {
  require(isArray(), "an array");
  std::vector<Json> out;
  for (size_t i = 0; i < value_->size(); i++) out.push_back((*this)[i]);
  return out;
}

std::vector<std::pair<std::string, Json>> Json::members() const {
  require(isObject(), "an object");
  std::vector<std::pair<std::string, Json>> out;
  for (const auto& [key, member] : value_->items()) out.emplace_back(key, (*this)[key]);
  return out;
}

Json elementWith(const Json& array, const std::string& key, const std::string& value) {
  for (const Json& element : array.items()) {
    if (element[key].asString() == value) return element;
  }
  throw JsonReadError("JSON read: no element of " + shown(array.path()) + " has " + key + " \"" +
                      value + "\"");
}

std::optional<Json> parseJson(const std::string& text) {
  host::Json parsed = host::Json::parse(text, nullptr, false);
  if (parsed.is_discarded()) return std::nullopt;
  return Json(std::move(parsed));
}

}  // namespace qv::testing
