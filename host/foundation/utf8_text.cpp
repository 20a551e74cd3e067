#include "foundation/utf8_text.h"

#include <cstdint>

namespace qv::host {

bool isValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    auto b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x80) {
      i++;
      continue;
    }
    size_t extra;
    // The range the second byte must fall in rules out overlong forms, surrogates and code
    // points above U+10FFFF.
    uint8_t low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (bytes.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; k++) {
      auto c = static_cast<uint8_t>(bytes[i + k]);
      uint8_t lo = k == 1 ? low : 0x80, hi = k == 1 ? high : 0xBF;
      if (c < lo || c > hi) return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace qv::host
