#include "slice_rewrite.h"

#include <cstring>
#include <set>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/code_signature.h"
#include "runtime/macho/macho_format.h"
#include "runtime/macho/macho_image.h"

namespace qv::arm64e {

using namespace macho;

namespace {

uint64_t bits(uint64_t value, unsigned from, unsigned count) {
  return (value >> from) & ((uint64_t{1} << count) - 1);
}

template <class T>
T load(const std::vector<uint8_t>& bytes, uint64_t at) {
  if (at + sizeof(T) > bytes.size()) throw ToolError{"the dylib is cut short"};
  T value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

template <class T>
void store(std::vector<uint8_t>& bytes, uint64_t at, T value) {
  if (at + sizeof(T) > bytes.size()) throw ToolError{"the dylib is cut short"};
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

// page_start[] follows the fixed part of dyld_chained_starts_in_segment at this offset.
constexpr uint64_t kPageStarts = 22;

// One chain entry of DYLD_CHAINED_PTR_64(_OFFSET) as DYLD_CHAINED_PTR_ARM64E.
uint64_t convert(uint64_t raw, uint16_t format, uint64_t base, const PointerSchema* auth,
                 uint64_t next8, SliceReport& report) {
  uint64_t out = next8 << 51;
  if (bits(raw, 63, 1)) {  // bind: ordinal 24, addend 8
    uint64_t ordinal = bits(raw, 0, 24), addend = bits(raw, 24, 8);
    if (ordinal > 0xffff) throw ToolError{"a bind ordinal beyond 16 bits"};
    out |= ordinal | (uint64_t{1} << 62);
    if (auth) {
      if (addend) throw ToolError{"an authenticated bind with an addend"};
      out |= (uint64_t{auth->diversity} << 32) | (uint64_t{auth->addressDiversity} << 48) |
             (uint64_t{auth->key} << 49) | (uint64_t{1} << 63);
      report.authenticatedBinds++;
    } else {
      out |= addend << 32;
      report.binds++;
    }
    return out;
  }
  // rebase: target 36 (a vmaddr, or an offset in _64_OFFSET), high8 8
  uint64_t target = bits(raw, 0, 36), high8 = bits(raw, 36, 8);
  uint64_t vmaddr = format == kChainedPtr64Offset ? base + target : target;
  if (auth) {
    if (high8) throw ToolError{"an authenticated rebase with a high byte"};
    uint64_t offset = vmaddr - base;
    if (offset > 0xffffffffu) throw ToolError{"an authenticated rebase beyond 32 bits"};
    out |= offset | (uint64_t{auth->diversity} << 32) | (uint64_t{auth->addressDiversity} << 48) |
           (uint64_t{auth->key} << 49) | (uint64_t{1} << 63);
    report.authenticatedRebases++;
  } else {
    if (vmaddr >> 43) throw ToolError{"a rebase target beyond 43 bits"};
    out |= vmaddr | (high8 << 43);
    report.rebases++;
  }
  return out;
}

const Segment* segmentHolding(const Image& image, uint64_t vmaddr) {
  for (const Segment& s : image.segments) {
    if (vmaddr >= s.vmaddr && vmaddr - s.vmaddr + 8 <= s.filesize) return &s;
  }
  return nullptr;
}

void rewriteChains(std::vector<uint8_t>& bytes, const Image& image,
                   const std::map<uint64_t, PointerSchema>& authenticated, SliceReport& report) {
  if (!image.chainedFixups)
    throw ToolError{"the dylib has no chained fixups (link with -fixup_chains)"};
  uint64_t fixups = image.chainedFixups->offset;
  auto header = load<ChainedFixupsHeader>(bytes, fixups);
  uint64_t starts = fixups + header.startsOffset;
  uint32_t segments = load<uint32_t>(bytes, starts);
  std::set<uint64_t> seen;
  for (uint32_t s = 0; s < segments; s++) {
    uint32_t info = load<uint32_t>(bytes, starts + 4 + 4 * s);
    if (!info) continue;
    uint64_t at = starts + info;
    auto segment = load<ChainedStartsInSegment>(bytes, at);
    uint16_t format = segment.pointerFormat;
    if (format != kChainedPtr64 && format != kChainedPtr64Offset) {
      throw ToolError{"chained pointer format " + std::to_string(format) +
                      " is not DYLD_CHAINED_PTR_64"};
    }
    store<uint16_t>(bytes, at + offsetof(ChainedStartsInSegment, pointerFormat), kChainedPtrArm64E);
    for (uint16_t page = 0; page < segment.pageCount; page++) {
      uint16_t first = load<uint16_t>(bytes, at + kPageStarts + 2 * page);
      if (first == kChainedPageStartNone) continue;
      uint64_t vmaddr =
          image.baseAddress() + segment.segmentOffset + uint64_t{page} * segment.pageSize + first;
      while (true) {
        const Segment* holder = segmentHolding(image, vmaddr);
        if (!holder || vmaddr % 8) throw ToolError{"a chain entry outside the file or misaligned"};
        uint64_t fileAt = holder->fileoff + (vmaddr - holder->vmaddr);
        uint64_t raw = load<uint64_t>(bytes, fileAt);
        uint64_t next4 = bits(raw, 51, 12);
        if (next4 % 2) throw ToolError{"two fixups closer than eight bytes"};
        auto auth = authenticated.find(vmaddr);
        store<uint64_t>(
            bytes, fileAt,
            convert(raw, format, image.baseAddress(),
                    auth == authenticated.end() ? nullptr : &auth->second, next4 / 2, report));
        seen.insert(vmaddr);
        if (!next4) break;
        vmaddr += next4 * 4;
      }
    }
  }
  for (const auto& [vmaddr, schema] : authenticated) {
    if (!seen.count(vmaddr)) {
      throw ToolError{"the authenticated pointer at " + std::to_string(vmaddr) + " is not a fixup"};
    }
  }
}

// The code directory's identifier, kept in the new signature.
std::string identifierOf(const std::vector<uint8_t>& bytes, const FileRange& signature) {
  ByteReader blob(ByteReader(bytes).range(signature.offset, signature.size, "signature"));
  uint32_t count = bigEndian(blob.read<uint32_t>(8, "signature"));
  for (uint32_t i = 0; i < count; i++) {
    auto index = blob.read<CsBlobIndex>(12 + 8 * i, "signature index");
    if (bigEndian(index.type) != kCsSlotCodeDirectory) continue;
    uint32_t directory = bigEndian(index.offset);
    auto cd = blob.read<CsCodeDirectory>(directory, "code directory");
    return blob.cstring(directory + bigEndian(cd.identOffset), blob.size(), "identifier");
  }
  throw ToolError{"the dylib's signature has no code directory"};
}

// The slice signed again: the signature's space (and __LINKEDIT) grows when ours is larger.
void resign(std::vector<uint8_t>& bytes, const Image& image) {
  if (!image.codeSignature) throw ToolError{"the dylib is not signed (link with -adhoc_codesign)"};
  FileRange old = *image.codeSignature;
  std::string identifier = identifierOf(bytes, old);
  size_t size = adHocSignatureSize(old.offset, identifier);
  if (size > old.size) {
    // The signature ends the file and __LINKEDIT: both grow by the difference.
    uint64_t at = sizeof(MachHeader64);
    auto header = load<MachHeader64>(bytes, 0);
    for (uint32_t i = 0; i < header.ncmds; i++) {
      auto lc = load<LoadCommand>(bytes, at);
      if (lc.cmd == kLcCodeSignature) {
        store<uint32_t>(bytes, at + offsetof(LinkeditDataCommand, datasize),
                        static_cast<uint32_t>(size));
      } else if (lc.cmd == kLcSegment64) {
        auto seg = load<SegmentCommand64>(bytes, at);
        if (std::string(seg.segname, strnlen(seg.segname, 16)) == "__LINKEDIT") {
          seg.filesize += size - old.size;
          seg.vmsize = (seg.filesize + 0x3fff) / 0x4000 * 0x4000;
          store(bytes, at, seg);
        }
      }
      at += lc.cmdsize;
    }
    bytes.resize(old.offset + size, 0);
  }
  const Segment* text = image.textSegment();
  std::vector<uint8_t> signature = adHocSignature(bytes, old.offset, identifier, text->filesize);
  std::fill(bytes.begin() + old.offset, bytes.end(), 0);
  std::memcpy(bytes.data() + old.offset, signature.data(), signature.size());
}

}  // namespace

std::map<uint64_t, PointerSchema> placePointers(
    const LinkMap& map, const std::map<std::string, std::vector<AuthenticatedPointer>>& byObject) {
  std::map<uint64_t, PointerSchema> placed;
  for (const auto& [index, path] : map.objects) {
    auto records = byObject.find(path);
    if (records == byObject.end()) continue;
    for (const AuthenticatedPointer& p : records->second) {
      std::optional<uint64_t> symbol = map.address(index, p.symbol);
      if (!symbol) continue;
      auto [it, added] = placed.emplace(*symbol + p.offset, p.schema);
      if (!added && !(it->second == p.schema)) {
        throw ToolError{"two schemas for the pointer at " + std::to_string(*symbol + p.offset)};
      }
    }
  }
  return placed;
}

std::vector<uint8_t> makeArm64eSlice(const std::vector<uint8_t>& dylib,
                                     const std::map<uint64_t, PointerSchema>& authenticated,
                                     SliceReport* report) {
  SliceReport counts;
  std::vector<uint8_t> bytes = dylib;
  try {
    Image image = parseImage(dylib, {kCpuTypeArm64, kCpuSubtypeArm64All}, "the dylib");
    if (image.minOS < 0x000e0000) throw ToolError{"an arm64e slice needs iOS 14.0 or later"};
    rewriteChains(bytes, image, authenticated, counts);
    store<uint32_t>(bytes, offsetof(MachHeader64, cpusubtype),
                    kCpuSubtypeArm64E | kCpuSubtypePtrauthAbi);
    resign(bytes, image);
  } catch (const LoadError& e) {
    throw ToolError{e.message};
  }
  if (report) *report = counts;
  return bytes;
}

}  // namespace qv::arm64e
