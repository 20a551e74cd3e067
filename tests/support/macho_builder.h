// Small Mach-O dylibs written by hand, for the loader's tests: one page-aligned segment each of
// __TEXT (header, load commands, code at kCodeAddress), __DATA (eight-byte slots from
// kDataAddress, the first `initialisers` of them a __mod_init_func section) and __LINKEDIT
// (fixups, export trie, symbol table, and an ad-hoc code signature).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/macho/macho_format.h"
#include "runtime/macho/macho_loader.h"
#include "runtime/macho/pointer_auth.h"

namespace qv::testing {

constexpr uint64_t kCodeAddress = 0x1000;
constexpr uint64_t kDataAddress = 0x4000;
constexpr uint64_t slotAddress(size_t slot) { return kDataAddress + 8 * slot; }

struct DylibLayout {
  macho::Cpu cpu = macho::processCpu();
  uint32_t filetype = macho::kFileTypeDylib;
  uint32_t flags = macho::kFlagTwoLevel | 0x4;  // two-level namespace, linked for dyld
  uint32_t platform = macho::kPlatformIos;
  uint32_t minOS = 0x000c0000;  // 12.0
  struct Dylib {
    std::string installName;
    bool weak = false;
  };
  std::vector<Dylib> dylibs;  // ordinal 1, 2, ...
  std::vector<std::string> rpaths;
  std::vector<uint8_t> code;   // at kCodeAddress
  std::vector<uint64_t> data;  // the __DATA slots as the file holds them
  size_t initialisers = 0;     // the first slots are __mod_init_func

  // Classic fixups (LC_DYLD_INFO_ONLY): each slot's rebase or bind.
  std::vector<size_t> rebases;
  struct Bind {
    size_t slot;
    int ordinal;
    std::string symbol;
    bool weak = false;
    int64_t addend = 0;
    bool lazy = false;
  };
  std::vector<Bind> binds;

  // Chained fixups (LC_DYLD_CHAINED_FIXUPS) instead, when a format is set: the slots listed in
  // `chain` hold encoded entries (the builder links them), bound to `imports`.
  std::optional<uint16_t> chainedFormat;
  std::vector<size_t> chain;
  struct Import {
    int ordinal;
    std::string name;
    bool weak = false;
    int64_t addend = 0;
  };
  std::vector<Import> imports;
  uint32_t importsFormat = macho::kChainedImport;

  std::vector<std::pair<std::string, uint64_t>> exports;        // Mach-O name, offset in the image
  std::vector<std::pair<std::string, uint64_t>> hiddenSymbols;  // in the symbol table only
  bool sign = true;
};

// The file's bytes.
std::vector<uint8_t> buildMachO(const DylibLayout& layout);

// Two slices, one file.
std::vector<uint8_t> fatFile(
    const std::vector<std::pair<macho::Cpu, std::vector<uint8_t>>>& slices);

// Code at `at` that jumps to the address held by the slot at `slot` (a bound GOT entry): an
// initialiser that is a host function.
std::vector<uint8_t> jumpThroughSlot(macho::Cpu cpu, uint64_t at, uint64_t slot);

// Chain entries, before the builder links them (next = 0).
uint64_t chainedRebase(uint64_t target, uint8_t high8 = 0);  // DYLD_CHAINED_PTR_64(_OFFSET)
uint64_t chainedBind(uint32_t ordinal, uint8_t addend = 0);
uint64_t arm64eRebase(uint64_t target, uint8_t high8 = 0);
uint64_t arm64eBind(uint32_t ordinal, int32_t addend);
uint64_t arm64eAuthRebase(uint32_t target, uint16_t diversity, bool addressDiversity,
                          macho::PointerKey key);
uint64_t arm64eAuthBind(uint32_t ordinal, uint16_t diversity, bool addressDiversity,
                        macho::PointerKey key);

}  // namespace qv::testing
