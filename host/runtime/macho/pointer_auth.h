// Pointer authentication with this process's keys, as dyld and Apple's runtime sign and
// authenticate an arm64e image's pointers. Only an aarch64 process with the feature (qemu's
// default processor has it) can sign; elsewhere nothing is signed and arm64e is refused.
#pragma once

#include <cstdint>

namespace qv::macho {

enum class PointerKey : uint8_t { IA = 0, IB = 1, DA = 2, DB = 3 };

// True when this process can sign and authenticate pointers.
bool pointerAuthenticationAvailable();

// The discriminator of a pointer stored at `address` with address diversity: the storage
// address blended with the 16-bit constant, as ptrauth_blend_discriminator does.
constexpr uint64_t blendDiscriminator(uint64_t address, uint16_t diversity) {
  return (address & 0x0000ffffffffffffULL) | (uint64_t{diversity} << 48);
}

// `value` signed with `key` and `discriminator`. Requires pointerAuthenticationAvailable().
uint64_t signPointer(uint64_t value, PointerKey key, uint64_t discriminator);

// `value` checked against its signature: the plain pointer when it matches, a pointer that
// faults when used when it does not (as the processor's aut* instructions leave it).
uint64_t authenticatePointer(uint64_t value, PointerKey key, uint64_t discriminator);

// `value` with its signature bits removed, unchecked.
uint64_t stripPointer(uint64_t value, PointerKey key);

}  // namespace qv::macho
