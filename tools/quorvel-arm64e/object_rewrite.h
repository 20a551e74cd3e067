// The first step of the arm64e link: an object file compiled for arm64e, made linkable by a
// linker that knows no authenticated relocations. Each ARM64_RELOC_AUTHENTICATED_POINTER
// becomes a plain pointer relocation with the same target and addend, and is recorded (symbol,
// offset, schema) for the last step; the header's subtype becomes plain arm64.
#pragma once

#include <cstdint>
#include <vector>

#include "authenticated_pointer.h"

namespace qv::arm64e {

struct RewrittenObject {
  std::vector<uint8_t> bytes;
  std::vector<AuthenticatedPointer> pointers;
};

// Throws ToolError for a file that is not a 64-bit arm64e (or arm64) object.
RewrittenObject rewriteObject(const std::vector<uint8_t>& object);

// The records as text, one per line: "offset key diversity addressDiversity symbol", and back.
std::string formatPointers(const std::vector<AuthenticatedPointer>& pointers);
std::vector<AuthenticatedPointer> parsePointers(const std::string& text);

}  // namespace qv::arm64e
