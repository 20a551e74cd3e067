#include "uikit/colour_text.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "foundation/string_scan.h"

namespace qv::host {
namespace {

std::string_view trim(std::string_view t) {
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
  return t;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A plain decimal number and nothing else: digits, at most one point, no sign or exponent.
std::optional<double> decimal(std::string_view t) {
  t = trim(t);
  if (t.empty() || t.size() > 32) return std::nullopt;
  int points = 0, digits = 0;
  for (char c : t) {
    if (c == '.') {
      points++;
    } else if (c >= '0' && c <= '9') {
      digits++;
    } else {
      return std::nullopt;
    }
  }
  if (points > 1 || digits == 0) return std::nullopt;
  return scanDouble(t);
}

std::optional<double> unitAlpha(std::string_view t) {
  auto a = decimal(t);
  if (!a || *a > 1.0) return std::nullopt;
  return a;
}

std::optional<Rgba> parseHex(std::string_view t) {
  std::string_view hex = t.substr(1);
  std::optional<double> alpha = 1.0;
  if (size_t colon = hex.find(':'); colon != std::string_view::npos) {
    alpha = unitAlpha(hex.substr(colon + 1));
    hex = hex.substr(0, colon);
  }
  if (!alpha || hex.size() != 6) return std::nullopt;
  int v[6];
  for (size_t i = 0; i < 6; i++) {
    v[i] = hexDigit(hex[i]);
    if (v[i] < 0) return std::nullopt;
  }
  return Rgba{(v[0] * 16 + v[1]) / 255.0, (v[2] * 16 + v[3]) / 255.0, (v[4] * 16 + v[5]) / 255.0,
              *alpha};
}

std::optional<Rgba> parseFunction(std::string_view t, std::string_view name, size_t count) {
  if (t.size() < name.size() + 2 || t.substr(0, name.size()) != name) return std::nullopt;
  std::string_view rest = trim(t.substr(name.size()));
  if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')') return std::nullopt;
  rest = rest.substr(1, rest.size() - 2);
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= rest.size(); i++) {
    if (i == rest.size() || rest[i] == ',') {
      parts.push_back(rest.substr(start, i - start));
      start = i + 1;
    }
  }
  if (parts.size() != count) return std::nullopt;
  double c[3];
  for (size_t i = 0; i < 3; i++) {
    auto v = decimal(parts[i]);
    if (!v || *v > 255.0 || *v != std::floor(*v)) return std::nullopt;
    c[i] = *v / 255.0;
  }
  double alpha = 1.0;
  if (count == 4) {
    auto a = unitAlpha(parts[3]);
    if (!a) return std::nullopt;
    alpha = *a;
  }
  return Rgba{c[0], c[1], c[2], alpha};
}

}  // namespace

std::optional<Rgba> parseColourText(std::string_view text) {
  std::string_view t = trim(text);
  if (t.empty()) return std::nullopt;
  if (t.front() == '#') return parseHex(t);
  if (auto c = parseFunction(t, "rgba", 4)) return c;
  return parseFunction(t, "rgb", 3);
}

}  // namespace qv::host
