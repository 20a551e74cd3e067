#include "springboard/json.h"

#include <cmath>
#include <cstdio>

namespace qv::host {
namespace {

const Json kNull;
const std::string kEmpty;
const Json::Array kNoItems;
const Json::Object kNoMembers;

void writeString(std::string& out, const std::string& s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

void writeNumber(std::string& out, double d) {
  if (!std::isfinite(d)) {
    out += "null";
    return;
  }
  char buf[32];
  if (d == std::floor(d) && std::fabs(d) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", d);
  } else {
    std::snprintf(buf, sizeof buf, "%.6g", d);
  }
  out += buf;
}

void newline(std::string& out, bool pretty, int depth) {
  if (!pretty) return;
  out += '\n';
  out.append(static_cast<size_t>(depth) * 2, ' ');
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
  std::string out;
  write(out, pretty, 0);
  return out;
}

void Json::write(std::string& out, bool pretty, int depth) const {
  if (isNull()) {
    out += "null";
  } else if (isBool()) {
    out += asBool() ? "true" : "false";
  } else if (isNumber()) {
    writeNumber(out, asNumber());
  } else if (isString()) {
    writeString(out, asString());
  } else if (isArray()) {
    const Array& a = items();
    out += '[';
    for (size_t i = 0; i < a.size(); i++) {
      if (i) out += ',';
      newline(out, pretty, depth + 1);
      a[i].write(out, pretty, depth + 1);
    }
    if (!a.empty()) newline(out, pretty, depth);
    out += ']';
  } else {
    const Object& o = members();
    out += '{';
    for (size_t i = 0; i < o.size(); i++) {
      if (i) out += ',';
      newline(out, pretty, depth + 1);
      writeString(out, o[i].first);
      out += pretty ? ": " : ":";
      o[i].second.write(out, pretty, depth + 1);
    }
    if (!o.empty()) newline(out, pretty, depth);
    out += '}';
  }
}

}  // namespace qv::host
