// dyld's fixups of a mapped image: rebases slide the image's own pointers, binds point at
// what other libraries export. Two encodings: the opcode streams of LC_DYLD_INFO and the
// chains of LC_DYLD_CHAINED_FIXUPS.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/macho/image_mapping.h"
#include "runtime/macho/macho_image.h"

namespace qv::macho {

// The address an import binds to: `libraryOrdinal` is the two-level ordinal (1 for the first
// library the image links; 0 itself; negative: dyld's special lookups). Returns 0 for a weak
// import that is missing; refuses (LoadError) a missing strong one.
using SymbolResolver =
    std::function<uint64_t(int libraryOrdinal, const std::string& symbol, bool weakImport)>;

// Applies LC_DYLD_INFO's rebase, bind and lazy-bind streams (lazy binds are resolved now).
void applyOpcodeFixups(const Image& image, const ImageMapping& memory,
                       const SymbolResolver& resolve);

// Applies LC_DYLD_CHAINED_FIXUPS. An authenticated fixup is signed with this process's keys, as
// dyld signs it; a process that cannot sign refuses it.
void applyChainedFixups(const Image& image, const ImageMapping& memory,
                        const SymbolResolver& resolve);

}  // namespace qv::macho
