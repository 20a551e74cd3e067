// What an authenticated pointer asks to be signed with: the key, the 16-bit discriminator and
// whether the storage address is blended into it. The compiler writes it into the pointer's
// 64 bits beside its relocation; the dylib carries it in the chained fixup that replaces it.
#pragma once

#include <cstdint>
#include <string>

namespace qv::arm64e {

struct PointerSchema {
  uint8_t key = 0;  // 0 IA, 1 IB, 2 DA, 3 DB
  uint16_t diversity = 0;
  bool addressDiversity = false;

  bool operator==(const PointerSchema&) const = default;
};

// The 64 bits at an ARM64_RELOC_AUTHENTICATED_POINTER: bits 0-31 the addend, 32-47 the
// diversity, bit 48 address diversity, 49-50 the key, bit 63 set.
struct AuthenticatedSlot {
  int32_t addend;
  PointerSchema schema;
};
inline AuthenticatedSlot decodeAuthenticatedSlot(uint64_t bits) {
  return {static_cast<int32_t>(static_cast<uint32_t>(bits)),
          {static_cast<uint8_t>((bits >> 49) & 3), static_cast<uint16_t>(bits >> 32),
           ((bits >> 48) & 1) != 0}};
}

// One authenticated pointer of an object file: where it is, as the linker's map can find it
// again (a symbol and an offset inside it), and how it is signed.
struct AuthenticatedPointer {
  std::string symbol;
  uint64_t offset = 0;
  PointerSchema schema;
};

// A failure of the tool, with its message.
struct ToolError {
  std::string message;
};

}  // namespace qv::arm64e
