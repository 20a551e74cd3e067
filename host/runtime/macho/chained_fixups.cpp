// LC_DYLD_CHAINED_FIXUPS: per page, a chain of pointers whose bits say what each becomes.
// Formats: DYLD_CHAINED_PTR_64 and _64_OFFSET (stride 4), ARM64E, ARM64E_USERLAND and
// ARM64E_USERLAND24 (stride 8, with authenticated rebases and binds).
#include <vector>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/fixups.h"
#include "runtime/macho/macho_format.h"
#include "runtime/macho/pointer_auth.h"

namespace qv::macho {

namespace {

uint64_t bits(uint64_t value, unsigned from, unsigned count) {
  return (value >> from) & ((uint64_t{1} << count) - 1);
}

struct Import {
  int ordinal;
  std::string name;
  bool weak;
  int64_t addend;
};

std::vector<Import> readImports(const ByteReader& fixups, const ChainedFixupsHeader& header) {
  std::vector<Import> imports;
  size_t entry = header.importsFormat == kChainedImport           ? 4
                 : header.importsFormat == kChainedImportAddend   ? 8
                 : header.importsFormat == kChainedImportAddend64 ? 16
                                                                  : 0;
  if (!entry) refuse("malformed mach-o image: unknown chained import format");
  if (header.symbolsFormat != 0) refuse("malformed mach-o image: compressed chained symbols");
  fixups.range(header.importsOffset, uint64_t{header.importsCount} * entry, "chained imports");
  for (uint32_t i = 0; i < header.importsCount; i++) {
    uint64_t at = header.importsOffset + uint64_t{i} * entry;
    Import imp{};
    uint32_t nameOffset;
    if (header.importsFormat == kChainedImportAddend64) {
      uint64_t raw = fixups.read<uint64_t>(at, "chained import");
      imp.ordinal = static_cast<int16_t>(bits(raw, 0, 16));
      imp.weak = bits(raw, 16, 1);
      nameOffset = static_cast<uint32_t>(bits(raw, 32, 32));
      imp.addend = fixups.read<int64_t>(at + 8, "chained import");
    } else {
      uint32_t raw = fixups.read<uint32_t>(at, "chained import");
      imp.ordinal = static_cast<int8_t>(bits(raw, 0, 8));
      imp.weak = bits(raw, 8, 1);
      nameOffset = static_cast<uint32_t>(bits(raw, 9, 23));
      if (header.importsFormat == kChainedImportAddend) {
        imp.addend = fixups.read<int32_t>(at + 4, "chained import");
      }
    }
    imp.name = fixups.cstring(uint64_t{header.symbolsOffset} + nameOffset, fixups.size(),
                              "chained import name");
    imports.push_back(std::move(imp));
  }
  return imports;
}

// What one chain entry becomes, by format.
struct ChainWalker {
  const Image& image;
  const ImageMapping& memory;
  uint16_t format;
  const std::vector<uint64_t>& targets;  // each import's address (0: a missing weak one)

  bool arm64e() const { return format != kChainedPtr64 && format != kChainedPtr64Offset; }
  unsigned stride() const { return arm64e() ? 8 : 4; }

  uint64_t target(uint64_t ordinal) const {
    if (ordinal >= targets.size()) refuse("malformed mach-o image: a bind names no import");
    return targets[ordinal];
  }

  // The runtime address of a rebase target, a vmaddr or an offset from the image's start.
  uint64_t rebased(uint64_t target, bool isOffset) const {
    return isOffset ? reinterpret_cast<uint64_t>(memory.base()) + target
                    : memory.runtimeAddress(target);
  }

  uint64_t sign(uint64_t value, uint64_t raw, uint64_t location) const {
    if (!pointerAuthenticationAvailable()) {
      refuse("an authenticated fixup, but this process has no pointer authentication");
    }
    uint16_t diversity = static_cast<uint16_t>(bits(raw, 32, 16));
    uint64_t discriminator = bits(raw, 48, 1) ? blendDiscriminator(location, diversity) : diversity;
    return signPointer(value, static_cast<PointerKey>(bits(raw, 49, 2)), discriminator);
  }

  // Rewrites the entry at `slot` and returns the distance to the next one (0: the chain ends).
  uint64_t fix(uint64_t* slot) const {
    uint64_t raw = *slot;
    uint64_t location = reinterpret_cast<uint64_t>(slot);
    if (!arm64e()) {
      bool bind = bits(raw, 63, 1);
      uint64_t next = bits(raw, 51, 12);
      if (bind) {
        uint64_t address = target(bits(raw, 0, 24));
        *slot = address ? address + bits(raw, 24, 8) : 0;
      } else {
        uint64_t value = rebased(bits(raw, 0, 36), format == kChainedPtr64Offset);
        *slot = value | (bits(raw, 36, 8) << 56);
      }
      return next * stride();
    }
    bool bind = bits(raw, 62, 1), auth = bits(raw, 63, 1);
    uint64_t next = bits(raw, 51, 11);
    unsigned ordinalBits = format == kChainedPtrArm64EUserland24 ? 24 : 16;
    bool offsets = format != kChainedPtrArm64E;  // USERLAND formats: every target is an offset
    if (auth && bind) {
      uint64_t address = target(bits(raw, 0, ordinalBits));
      *slot = address ? sign(address, raw, location) : 0;
    } else if (auth) {
      *slot = sign(rebased(bits(raw, 0, 32), true), raw, location);
    } else if (bind) {
      int64_t addend = static_cast<int64_t>(bits(raw, 32, 19) << 45) >> 45;  // signed 19 bits
      uint64_t address = target(bits(raw, 0, ordinalBits));
      *slot = address ? address + static_cast<uint64_t>(addend) : 0;
    } else {
      *slot = rebased(bits(raw, 0, 43), offsets) | (bits(raw, 43, 8) << 56);
    }
    return next * stride();
  }
};

// page_start[] follows pageCount at this offset (the structure itself is padded to 24).
constexpr uint64_t kPageStartsOffset = 22;

bool knownFormat(uint16_t f) {
  return f == kChainedPtr64 || f == kChainedPtr64Offset || f == kChainedPtrArm64E ||
         f == kChainedPtrArm64EUserland || f == kChainedPtrArm64EUserland24;
}

}  // namespace

void applyChainedFixups(const Image& image, const ImageMapping& memory,
                        const SymbolResolver& resolve) {
  if (!image.chainedFixups) return;
  ByteReader file(image.slice);
  ByteReader fixups(
      file.range(image.chainedFixups->offset, image.chainedFixups->size, "chained fixups"));
  auto header = fixups.read<ChainedFixupsHeader>(0, "chained fixups header");
  if (header.fixupsVersion != 0) refuse("malformed mach-o image: unknown chained fixups version");
  std::vector<uint64_t> targets;
  for (const Import& imp : readImports(fixups, header)) {
    uint64_t address = resolve(imp.ordinal, imp.name, imp.weak);
    targets.push_back(address ? address + static_cast<uint64_t>(imp.addend) : 0);
  }
  uint32_t segmentCount = fixups.read<uint32_t>(header.startsOffset, "chained starts");
  if (segmentCount > image.segments.size())
    refuse("malformed mach-o image: chained starts name too many segments");
  for (uint32_t s = 0; s < segmentCount; s++) {
    uint32_t infoOffset = fixups.read<uint32_t>(header.startsOffset + 4 + s * 4, "chained starts");
    if (infoOffset == 0) continue;
    uint64_t at = uint64_t{header.startsOffset} + infoOffset;
    auto starts = fixups.read<ChainedStartsInSegment>(at, "chained starts in segment");
    if (!knownFormat(starts.pointerFormat)) {
      refuse("malformed mach-o image: chained pointer format " +
             std::to_string(starts.pointerFormat) + " is not supported");
    }
    if (starts.pageSize == 0) refuse("malformed mach-o image: chained page size is zero");
    ChainWalker walker{image, memory, starts.pointerFormat, targets};
    uint64_t segmentStart = image.baseAddress() + starts.segmentOffset;
    for (uint16_t page = 0; page < starts.pageCount; page++) {
      uint16_t first =
          fixups.read<uint16_t>(at + kPageStartsOffset + page * 2u, "chained page starts");
      if (first == kChainedPageStartNone) continue;
      if (first & kChainedPageStartMulti)
        refuse("malformed mach-o image: multiple chain starts in a 64-bit image");
      uint64_t vmaddr = segmentStart + uint64_t{page} * starts.pageSize + first;
      uint64_t pageEnd = segmentStart + (uint64_t{page} + 1) * starts.pageSize;
      while (true) {
        uint64_t step = walker.fix(memory.fixupSlot(vmaddr));
        if (step == 0) break;
        vmaddr += step;
        if (vmaddr >= pageEnd) refuse("malformed mach-o image: a fixup chain leaves its page");
      }
    }
  }
}

}  // namespace qv::macho
