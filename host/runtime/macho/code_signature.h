// The code signature of a slice: its code directory's page hashes, which the kernel checks
// for every page of the file it maps.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/macho/macho_image.h"

namespace qv::macho {

// Checks the hash of every page the code directory covers against the slice's bytes, and
// that it covers every mapped byte before the signature. Refuses (LoadError) a missing or
// malformed signature, and names the first page that does not match.
void verifyCodeSignature(const Image& image, const std::string& path);

// SHA-256 of `bytes`.
void sha256(std::span<const uint8_t> bytes, uint8_t out[32]);

}  // namespace qv::macho
