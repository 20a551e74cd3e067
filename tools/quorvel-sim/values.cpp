#include "values.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "foundation/utf8_text.h"
#include "schema/settings_schema.h"
#include "springboard/home_screen.h"

namespace qv::sim {

using host::Json;
using host::ScenarioError;

std::string printable(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    // The longest well-formed UTF-8 sequence starting here, if any.
    auto c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 0;
    if (length > 1 && i + length <= text.size() &&
        host::isValidUtf8(std::string_view(text).substr(i, length))) {
      out.append(text, i, length);
      i += length;
      continue;
    }
    if (c == 0) {
      out += "\\0";
    } else if (c < 0x20 || c == 0x7f || length != 1) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
    i++;
  }
  return out;
}

void requireStorableText(const std::string& command, const std::string& what,
                         const std::string& text) {
  const char* problem = text.find('\0') != std::string::npos ? "holds a NUL byte"
                        : !host::isValidUtf8(text)           ? "is not UTF-8 text"
                                                             : nullptr;
  if (problem) {
    throw ScenarioError{command + ": " + what + " \"" + printable(text) + "\" " + problem +
                        " (identifiers and texts must be UTF-8 without NUL)"};
  }
}

std::string readColour(const std::string& command, const std::string& text) {
  bool ok = text.size() == 7 && text[0] == '#';
  for (size_t i = 1; ok && i < text.size(); i++) {
    ok = std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
  }
  if (!ok) throw ScenarioError{command + ": bad colour \"" + text + "\" (expected #RRGGBB)"};
  return text;
}

long readBadge(const std::string& command, const std::string& text) {
  bool digits = !text.empty() && text.size() <= 15;
  for (char c : text) digits = digits && std::isdigit(static_cast<unsigned char>(c));
  if (!digits) throw ScenarioError{command + ": bad badge number \"" + text + "\""};
  return std::strtol(text.c_str(), nullptr, 10);
}

size_t readCount(const std::string& command, const std::string& what, const std::string& text) {
  bool digits = !text.empty() && text.size() <= 9;
  for (char c : text) digits = digits && std::isdigit(static_cast<unsigned char>(c));
  size_t value = digits ? std::stoul(text) : 0;
  if (value < 1) {
    throw ScenarioError{command + ": " + what + " takes a whole number from 1, not \"" + text +
                        "\""};
  }
  return value;
}

Json readSettingValue(const Token& token) {
  if (token.quoted) return Json(token.text);
  if (token.text == "true") return Json(true);
  if (token.text == "false") return Json(false);
  if (std::optional<double> number = prefs::parseDecimal(token.text)) return host::number(*number);
  return Json(token.text);
}

std::string readPngPath(const std::string& command, const std::string& text,
                        const std::filesystem::path& base) {
  if (text.empty()) throw ScenarioError{command + ": empty file name"};
  std::filesystem::path path(text);
  if (path.is_relative()) path = base / path;
  std::ifstream in(path, std::ios::binary);
  char signature[8] = {};
  if (!in || !in.read(signature, sizeof signature)) {
    throw ScenarioError{command + ": cannot read " + path.string()};
  }
  static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  for (size_t i = 0; i < sizeof kPng; i++) {
    if (static_cast<unsigned char>(signature[i]) != kPng[i]) {
      throw ScenarioError{command + ": " + path.string() + " is not a PNG file"};
    }
  }
  return path.lexically_normal().string();
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string part = text.substr(start, comma - start);
    size_t first = part.find_first_not_of(" \t");
    size_t last = part.find_last_not_of(" \t");
    if (first != std::string::npos) parts.push_back(part.substr(first, last - first + 1));
    start = comma + 1;
  }
  return parts;
}

}  // namespace qv::sim
