// The map ld64.lld writes with -map: every object file it read, and every symbol it placed with
// its address, so that a place in an object (a symbol and an offset) is found in the output.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qv::arm64e {

struct LinkMap {
  std::vector<std::pair<int, std::string>> objects;         // index, path
  std::map<std::pair<int, std::string>, uint64_t> symbols;  // (object index, name) -> address

  std::optional<uint64_t> address(int object, const std::string& symbol) const;
};

// Throws ToolError when the text is not such a map.
LinkMap parseLinkMap(const std::string& text);

}  // namespace qv::arm64e
