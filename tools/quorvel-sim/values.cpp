#include "values.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "springboard/home_screen.h"

namespace qv::sim {

using host::Json;
using host::ScenarioError;

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

namespace {

// A plain decimal number as a whole word ("2", "-0.5", "1e3"); no hex, inf or nan.
bool readNumber(const std::string& text, double* out) {
  if (text.empty() || text.size() > 64) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '+' && c != '.' &&
        c != 'e' && c != 'E') {
      return false;
    }
  }
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) return false;
  *out = value;
  return true;
}

}  // namespace

Json readSettingValue(const Token& token) {
  if (token.quoted) return Json(token.text);
  if (token.text == "true") return Json(true);
  if (token.text == "false") return Json(false);
  double number = 0;
  if (readNumber(token.text, &number)) return Json(number);
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
