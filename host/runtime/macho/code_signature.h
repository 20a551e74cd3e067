// The code signature of a slice: its code directory's page hashes, which the kernel checks
// for every page of the file it maps.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "runtime/macho/macho_image.h"

namespace qv::macho {

// Checks the hash of every page the code directory covers against the slice's bytes, and
// that it covers every mapped byte before the signature. Refuses (LoadError) a missing or
// malformed signature, and names the first page that does not match.
void verifyCodeSignature(const Image& image, const std::string& path);

// SHA-256 of `bytes`.
void sha256(std::span<const uint8_t> bytes, uint8_t out[32]);

// An ad-hoc signature as a linker writes one: an embedded-signature blob holding one code
// directory (version 0x20400) of SHA-256 hashes of each 4096-byte page of the first
// `codeLimit` bytes of `file` (everything before the signature), named `identifier`;
// `executableLimit` is the size of __TEXT, the executable segment.
std::vector<uint8_t> adHocSignature(std::span<const uint8_t> file, uint64_t codeLimit,
                                    const std::string& identifier, uint64_t executableLimit);
// Its size, known before the bytes it covers are final.
size_t adHocSignatureSize(uint64_t codeLimit, const std::string& identifier);

}  // namespace qv::macho
