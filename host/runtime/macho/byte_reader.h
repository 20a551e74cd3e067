// Bounds-checked reading of a file's bytes: every read of a Mach-O structure goes through it,
// so a truncated or hostile file is refused with a message, never read past its end.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace qv::macho {

// Why a load was refused, in dyld's words where dyld has some.
struct LoadError {
  std::string message;
};

[[noreturn]] inline void refuse(std::string message) { throw LoadError{std::move(message)}; }

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t size() const { return bytes_.size(); }

  // The `size` bytes at `offset`; refuses the load naming `what` when they are not all there.
  std::span<const uint8_t> range(uint64_t offset, uint64_t size, const char* what) const {
    if (offset > bytes_.size() || size > bytes_.size() - offset) {
      refuse(std::string("malformed mach-o image: ") + what +
             " extends beyond the end of the file");
    }
    return bytes_.subspan(offset, size);
  }

  template <class T>
  T read(uint64_t offset, const char* what) const {
    T value;
    std::memcpy(&value, range(offset, sizeof(T), what).data(), sizeof(T));
    return value;
  }

  // A NUL-terminated string that starts at `offset` and ends before `limit`.
  std::string cstring(uint64_t offset, uint64_t limit, const char* what) const {
    if (limit > bytes_.size()) limit = bytes_.size();
    for (uint64_t i = offset; i < limit; i++) {
      if (bytes_[i] == 0)
        return std::string(reinterpret_cast<const char*>(&bytes_[offset]), i - offset);
    }
    refuse(std::string("malformed mach-o image: ") + what + " is not terminated");
  }

 private:
  std::span<const uint8_t> bytes_;
};

// LEB128 numbers of the opcode streams and the export trie; `pos` moves past the number.
inline uint64_t readUleb(std::span<const uint8_t> data, size_t& pos) {
  uint64_t result = 0;
  unsigned shift = 0;
  while (true) {
    if (pos >= data.size()) refuse("malformed mach-o image: a number runs past its table");
    uint8_t byte = data[pos++];
    if (shift >= 64 || (shift == 63 && (byte & 0x7e) != 0)) {
      refuse("malformed mach-o image: a number is too large");
    }
    result |= static_cast<uint64_t>(byte & 0x7f) << shift;
    shift += 7;
    if (!(byte & 0x80)) return result;
  }
}

inline int64_t readSleb(std::span<const uint8_t> data, size_t& pos) {
  int64_t result = 0;
  unsigned shift = 0;
  uint8_t byte = 0;
  do {
    if (pos >= data.size()) refuse("malformed mach-o image: a number runs past its table");
    if (shift >= 64) refuse("malformed mach-o image: a number is too large");
    byte = data[pos++];
    result |= static_cast<int64_t>(static_cast<uint64_t>(byte & 0x7f) << shift);
    shift += 7;
  } while (byte & 0x80);
  if (shift < 64 && (byte & 0x40)) result |= static_cast<int64_t>(~uint64_t{0} << shift);
  return result;
}

// Fat headers and code signatures are big-endian.
inline uint32_t bigEndian(uint32_t v) { return __builtin_bswap32(v); }
inline uint64_t bigEndian(uint64_t v) { return __builtin_bswap64(v); }

}  // namespace qv::macho
