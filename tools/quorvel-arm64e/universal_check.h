// What can be proven about the universal dylib without a phone: both slices, each for its
// processor, minimum OS and signature, and in the arm64e slice the fixups a phone's dyld needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::arm64e {

struct UniversalReport {
  std::vector<std::string> failures;  // empty: every check passed
  std::vector<std::string> facts;     // what was found, one line each
};

UniversalReport checkUniversal(const std::vector<uint8_t>& file);

}  // namespace qv::arm64e
