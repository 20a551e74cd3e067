#include "runtime/macho/symbols.h"

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/macho_format.h"

namespace qv::macho {

namespace {

std::span<const uint8_t> exportTrie(const Image& image) {
  ByteReader file(image.slice);
  if (image.exportsTrie)
    return file.range(image.exportsTrie->offset, image.exportsTrie->size, "exports trie");
  if (image.dyldInfo) return file.range((*image.dyldInfo)[8], (*image.dyldInfo)[9], "exports trie");
  return {};
}

}  // namespace

std::optional<uint64_t> findExport(const Image& image, const std::string& symbol) {
  std::span<const uint8_t> trie = exportTrie(image);
  if (trie.empty()) return std::nullopt;
  size_t node = 0, matched = 0;
  // Every edge consumes at least one character, so the walk ends.
  while (true) {
    size_t pos = node;
    uint64_t terminalSize = readUleb(trie, pos);
    size_t children = pos + terminalSize;
    if (children > trie.size()) refuse("malformed mach-o image: export trie node too large");
    if (matched == symbol.size()) {
      if (terminalSize == 0) return std::nullopt;
      uint64_t flags = readUleb(trie, pos);
      if (flags & kExportReexport) return std::nullopt;
      if ((flags & kExportKindMask) != kExportKindRegular) return std::nullopt;
      return readUleb(trie, pos);  // a stub-and-resolver export's stub comes first too
    }
    pos = children;
    if (pos >= trie.size()) return std::nullopt;
    uint8_t count = trie[pos++];
    bool followed = false;
    for (uint8_t c = 0; c < count && !followed; c++) {
      size_t label = pos;
      while (pos < trie.size() && trie[pos] != 0) pos++;
      if (pos >= trie.size()) refuse("malformed mach-o image: export trie label not terminated");
      std::string_view edge(reinterpret_cast<const char*>(&trie[label]), pos - label);
      pos++;
      uint64_t child = readUleb(trie, pos);
      if (edge.empty()) refuse("malformed mach-o image: empty export trie edge");
      if (symbol.compare(matched, edge.size(), edge) == 0) {
        if (child >= trie.size()) refuse("malformed mach-o image: export trie edge leads outside");
        matched += edge.size();
        node = child;
        followed = true;
      }
    }
    if (!followed) return std::nullopt;
  }
}

std::optional<uint64_t> findSymbol(const Image& image, const std::string& symbol) {
  if (!image.symbols || !image.strings) return std::nullopt;
  ByteReader file(image.slice);
  ByteReader table(file.range(image.symbols->offset, image.symbols->size, "symbol table"));
  ByteReader strings(file.range(image.strings->offset, image.strings->size, "string table"));
  for (uint32_t i = 0; i < image.symbolCount; i++) {
    auto entry = table.read<Nlist64>(uint64_t{i} * sizeof(Nlist64), "symbol");
    if ((entry.type & kNlistStab) || (entry.type & kNlistTypeMask) != kNlistSect) continue;
    if (entry.strx >= strings.size()) continue;
    if (strings.cstring(entry.strx, strings.size(), "symbol name") == symbol) {
      return entry.value - image.baseAddress();
    }
  }
  return std::nullopt;
}

}  // namespace qv::macho
