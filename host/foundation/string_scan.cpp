#include "foundation/string_scan.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

namespace qv::host {
namespace {

size_t skipSpace(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i]))) i++;
  return i;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool scanBool(std::string_view t) {
  size_t i = skipSpace(t);
  if (i >= t.size()) return false;
  char c = t[i];
  if (c == 'Y' || c == 'y' || c == 'T' || c == 't') return true;
  if (c == '+' || c == '-') i++;
  while (i < t.size() && t[i] == '0') i++;
  return i < t.size() && t[i] >= '1' && t[i] <= '9';
}

double scanDouble(std::string_view t) {
  size_t i = skipSpace(t);
  size_t start = i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) i++;
  size_t digits = 0;
  while (i < t.size() && isDigit(t[i])) i++, digits++;
  if (i < t.size() && t[i] == '.') {
    i++;
    while (i < t.size() && isDigit(t[i])) i++, digits++;
  }
  if (digits == 0) return 0.0;
  // An exponent counts only when digits follow it.
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) j++;
    if (j < t.size() && isDigit(t[j])) {
      while (j < t.size() && isDigit(t[j])) j++;
      i = j;
    }
  }
  std::string number(t.substr(start, i - start));
  return std::strtod(number.c_str(), nullptr);
}

long long scanInteger(std::string_view t) {
  size_t i = skipSpace(t);
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  unsigned long long value = 0;
  bool overflow = false;
  while (i < t.size() && isDigit(t[i])) {
    unsigned digit = static_cast<unsigned>(t[i++] - '0');
    if (value > (ULLONG_MAX - digit) / 10) {
      overflow = true;
    } else {
      value = value * 10 + digit;
    }
  }
  if (negative) {
    if (overflow || value > static_cast<unsigned long long>(LLONG_MAX) + 1) return LLONG_MIN;
    return value == static_cast<unsigned long long>(LLONG_MAX) + 1 ? LLONG_MIN
                                                                   : -static_cast<long long>(value);
  }
  if (overflow || value > static_cast<unsigned long long>(LLONG_MAX)) return LLONG_MAX;
  return static_cast<long long>(value);
}

}  // namespace qv::host
