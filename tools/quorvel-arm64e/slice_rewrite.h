// The last step of the arm64e link: the dylib ld64.lld linked for arm64 (with chained fixups)
// becomes the arm64e slice Apple's linker would have written. Every chain is rewritten in the
// DYLD_CHAINED_PTR_ARM64E format; the pointers the compiler asked to authenticate become
// authenticated rebases or binds with their key, diversity and address diversity; the header
// says arm64e with the pointer-authentication ABI, version 0; the slice is signed again.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "authenticated_pointer.h"
#include "link_map.h"

namespace qv::arm64e {

// The address in the dylib of each recorded pointer: objects[i]'s records, placed by the map.
// A record whose symbol the linker dropped (dead, or a duplicate of a weak definition placed
// from another object) has no address; one that lands twice with two schemas is an error.
std::map<uint64_t, PointerSchema> placePointers(
    const LinkMap& map, const std::map<std::string, std::vector<AuthenticatedPointer>>& byObject);

struct SliceReport {
  size_t rebases = 0, binds = 0, authenticatedRebases = 0, authenticatedBinds = 0;
};

// Throws ToolError when the dylib is not an arm64 dylib with chained fixups in
// DYLD_CHAINED_PTR_64(_OFFSET), or when a recorded pointer is not one of its fixups.
std::vector<uint8_t> makeArm64eSlice(const std::vector<uint8_t>& dylib,
                                     const std::map<uint64_t, PointerSchema>& authenticated,
                                     SliceReport* report = nullptr);

}  // namespace qv::arm64e
