#include "springboard/json.h"

#include <cmath>

#include <nlohmann/json.hpp>

namespace qv::host {
namespace {

using Text = nlohmann::ordered_json;

const Json kNull;
const std::string kEmpty;
const Json::Array kNoItems;
const Json::Object kNoMembers;

// Whole numbers are written without a fraction ("3", not "3.0") as far as a double holds them
// exactly.
constexpr double kLargestExactWhole = 9007199254740992.0;  // 2^53

Text toText(const Json& value) {
  if (value.isBool()) return value.asBool();
  if (value.isNumber()) {
    double d = value.asNumber();
    if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) <= kLargestExactWhole) {
      return static_cast<int64_t>(d);
    }
    return d;  // NaN and infinities are written as null
  }
  if (value.isString()) return value.asString();
  if (value.isArray()) {
    Text out = Text::array();
    for (const Json& item : value.items()) out.push_back(toText(item));
    return out;
  }
  if (value.isObject()) {
    Text out = Text::object();
    for (const auto& [key, member] : value.members()) out[key] = toText(member);
    return out;
  }
  return nullptr;
}

Json fromText(const Text& text) {
  switch (text.type()) {
    case Text::value_t::boolean:
      return Json(text.get<bool>());
    case Text::value_t::number_integer:
    case Text::value_t::number_unsigned:
    case Text::value_t::number_float:
      return Json(text.get<double>());
    case Text::value_t::string:
      return Json(text.get<std::string>());
    case Text::value_t::array: {
      Json out = Json::array();
      for (const Text& item : text) out.push(fromText(item));
      return out;
    }
    case Text::value_t::object: {
      Json out = Json::object();
      for (const auto& [key, member] : text.items()) out.set(key, fromText(member));
      return out;
    }
    default:
      return Json();
  }
}

}  // namespace

const std::string& Json::asString() const& {
  return isString() ? std::get<std::string>(value_) : kEmpty;
}
const Json::Array& Json::items() const& { return isArray() ? std::get<Array>(value_) : kNoItems; }
const Json::Object& Json::members() const& {
  return isObject() ? std::get<Object>(value_) : kNoMembers;
}

const Json& Json::operator[](const std::string& key) const& {
  for (const auto& [k, v] : members()) {
    if (k == key) return v;
  }
  return kNull;
}

const Json& Json::operator[](size_t index) const& {
  const Array& a = items();
  return index < a.size() ? a[index] : kNull;
}

size_t Json::size() const { return isArray() ? items().size() : members().size(); }

bool Json::has(const std::string& key) const {
  for (const auto& [k, v] : members()) {
    if (k == key) return true;
  }
  return false;
}

Json& Json::set(const std::string& key, Json value) {
  if (!isObject()) value_ = Object{};
  auto& o = std::get<Object>(value_);
  for (auto& [k, v] : o) {
    if (k == key) {
      v = std::move(value);
      return *this;
    }
  }
  o.emplace_back(key, std::move(value));
  return *this;
}

Json& Json::push(Json value) {
  if (!isArray()) value_ = Array{};
  std::get<Array>(value_).push_back(std::move(value));
  return *this;
}

std::string Json::dump(bool pretty) const {
  return toText(*this).dump(pretty ? 2 : -1, ' ', false, Text::error_handler_t::replace);
}

std::optional<Json> Json::parse(const std::string& text) {
  Text parsed = Text::parse(text, nullptr, false);
  if (parsed.is_discarded()) return std::nullopt;
  return fromText(parsed);
}

}  // namespace qv::host
