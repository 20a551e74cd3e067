// Finding a symbol of a loaded image: what it exports, through its export trie, and (for
// diagnostics, as a debugger would) what its symbol table names, hidden symbols included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/macho/macho_image.h"

namespace qv::macho {

// The offset from the image's start of the exported `symbol` (its Mach-O name, "_defaults"),
// or nothing when the image does not export it. Re-exports and thread-local exports are
// nothing here: the images we load have none.
std::optional<uint64_t> findExport(const Image& image, const std::string& symbol);

// The offset from the image's start of the symbol table's definition of `symbol`, exported
// or not; nothing when the table has none.
std::optional<uint64_t> findSymbol(const Image& image, const std::string& symbol);

}  // namespace qv::macho
