#include "support/palette_png.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace qv::testing {
namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; i++) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; bit++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void chunk(Bytes& out, const char type[5], const Bytes& data) {
  put32(out, static_cast<uint32_t>(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  put32(out, crc32(typed.data(), typed.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes zlibStored(const Bytes& raw) {
  Bytes out = {0x78, 0x01};
  size_t at = 0;
  do {
    size_t n = std::min<size_t>(raw.size() - at, 65535);
    bool last = at + n == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
    out.push_back(static_cast<uint8_t>(~n));
    out.push_back(static_cast<uint8_t>(~n >> 8));
    out.insert(out.end(), raw.begin() + static_cast<ptrdiff_t>(at),
               raw.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  put32(out, b << 16 | a);
  return out;
}

}  // namespace

bool writePalettePng(const std::string& path, int w, int h, uint8_t red, uint8_t green,
                     uint8_t blue) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  Bytes header;
  put32(header, static_cast<uint32_t>(w));
  put32(header, static_cast<uint32_t>(h));
  header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit indices into a palette
  chunk(png, "IHDR", header);
  chunk(png, "PLTE", {red, green, blue});
  // Each row: filter type 0, then one index per pixel.
  Bytes rows;
  for (int y = 0; y < h; y++) rows.insert(rows.end(), static_cast<size_t>(w) + 1, 0);
  chunk(png, "IDAT", zlibStored(rows));
  chunk(png, "IEND", {});
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return static_cast<bool>(out);
}

}  // namespace qv::testing
