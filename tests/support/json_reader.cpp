#include "support/json_reader.h"

#include <cctype>
#include <cstdlib>

namespace qv::testing {

using host::Json;

namespace {

class Reader {
 public:
  explicit Reader(const std::string& text) : s_(text) {}

  bool value(Json& out, int depth = 0) {
    if (depth > 64) return false;
    skipBlanks();
    if (i_ >= s_.size()) return false;
    char c = s_[i_];
    if (c == '{') return object(out, depth);
    if (c == '[') return array(out, depth);
    if (c == '"') {
      std::string text;
      if (!string(text)) return false;
      out = Json(text);
      return true;
    }
    if (word("true")) {
      out = Json(true);
    } else if (word("false")) {
      out = Json(false);
    } else if (word("null")) {
      out = Json();
    } else {
      return number(out);
    }
    return true;
  }

  bool atEnd() {
    skipBlanks();
    return i_ == s_.size();
  }

 private:
  void skipBlanks() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) i_++;
  }

  bool word(const char* w) {
    std::string expected(w);
    if (s_.compare(i_, expected.size(), expected) != 0) return false;
    i_ += expected.size();
    return true;
  }

  bool number(Json& out) {
    const char* start = s_.c_str() + i_;
    char* end = nullptr;
    double d = std::strtod(start, &end);
    if (end == start) return false;
    i_ += static_cast<size_t>(end - start);
    out = Json(d);
    return true;
  }

  bool string(std::string& out) {
    i_++;  // the opening quote
    while (i_ < s_.size()) {
      char c = s_[i_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) return false;
      char e = s_[i_++];
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          if (i_ + 4 > s_.size()) return false;
          long code = std::strtol(s_.substr(i_, 4).c_str(), nullptr, 16);
          i_ += 4;
          if (code >= 0x80) return false;  // the simulator escapes control characters only
          out += static_cast<char>(code);
          break;
        }
        default:
          out += e;
      }
    }
    return false;
  }

  bool array(Json& out, int depth) {
    i_++;
    out = Json::array();
    skipBlanks();
    if (i_ < s_.size() && s_[i_] == ']') {
      i_++;
      return true;
    }
    while (true) {
      Json item;
      if (!value(item, depth + 1)) return false;
      out.push(item);
      skipBlanks();
      if (i_ >= s_.size()) return false;
      char c = s_[i_++];
      if (c == ']') return true;
      if (c != ',') return false;
    }
  }

  bool object(Json& out, int depth) {
    i_++;
    out = Json::object();
    skipBlanks();
    if (i_ < s_.size() && s_[i_] == '}') {
      i_++;
      return true;
    }
    while (true) {
      skipBlanks();
      std::string key;
      if (i_ >= s_.size() || s_[i_] != '"' || !string(key)) return false;
      skipBlanks();
      if (i_ >= s_.size() || s_[i_++] != ':') return false;
      Json member;
      if (!value(member, depth + 1)) return false;
      out.set(key, member);
      skipBlanks();
      if (i_ >= s_.size()) return false;
      char c = s_[i_++];
      if (c == '}') return true;
      if (c != ',') return false;
    }
  }

  const std::string& s_;
  size_t i_ = 0;
};

}  // namespace

std::optional<Json> parseJson(const std::string& text) {
  Reader reader(text);
  Json out;
  if (!reader.value(out) || !reader.atEnd()) return std::nullopt;
  return out;
}

}  // namespace qv::testing
