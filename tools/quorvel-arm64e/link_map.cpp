#include "link_map.h"

#include <sstream>

#include "authenticated_pointer.h"

namespace qv::arm64e {

namespace {

// "[  3] rest": the index and what follows the bracket.
std::optional<std::pair<int, std::string>> indexed(const std::string& text) {
  size_t open = text.find('['), close = text.find(']');
  if (open == std::string::npos || close == std::string::npos || close < open) return std::nullopt;
  try {
    int index = std::stoi(text.substr(open + 1, close - open - 1));
    size_t rest = text.find_first_not_of(' ', close + 1);
    return std::make_pair(index, rest == std::string::npos ? std::string() : text.substr(rest));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<uint64_t> LinkMap::address(int object, const std::string& symbol) const {
  auto it = symbols.find({object, symbol});
  if (it == symbols.end()) return std::nullopt;
  return it->second;
}

LinkMap parseLinkMap(const std::string& text) {
  LinkMap map;
  enum { Preamble, Objects, Sections, Symbols, Other } part = Preamble;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("# Object files:", 0) == 0) {
      part = Objects;
    } else if (line.rfind("# Sections:", 0) == 0) {
      part = Sections;
    } else if (line.rfind("# Symbols:", 0) == 0) {
      part = Symbols;
    } else if (line.rfind("# Dead Stripped Symbols:", 0) == 0) {
      part = Other;
    } else if (line.empty() || line[0] == '#') {
      continue;
    } else if (part == Objects) {
      if (auto entry = indexed(line)) map.objects.push_back(*entry);
    } else if (part == Symbols) {
      // address, size, [index] name
      std::istringstream fields(line);
      std::string address, size;
      if (!(fields >> address >> size)) throw ToolError{"a malformed map line: " + line};
      std::string rest;
      std::getline(fields, rest);
      auto entry = indexed(rest);
      if (!entry) throw ToolError{"a malformed map line: " + line};
      map.symbols[*entry] = std::stoull(address, nullptr, 16);
    }
  }
  if (map.objects.empty()) throw ToolError{"not a linker map: it lists no object files"};
  return map;
}

}  // namespace qv::arm64e
