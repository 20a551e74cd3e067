#include "universal_check.h"

#include <cstring>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/code_signature.h"
#include "runtime/macho/macho_format.h"
#include "runtime/macho/macho_image.h"

namespace qv::arm64e {

using namespace macho;

namespace {

constexpr Cpu kArm64{kCpuTypeArm64, kCpuSubtypeArm64All};
constexpr Cpu kArm64E{kCpuTypeArm64, kCpuSubtypeArm64E | kCpuSubtypePtrauthAbi};

uint64_t bits(uint64_t value, unsigned from, unsigned count) {
  return (value >> from) & ((uint64_t{1} << count) - 1);
}

// Every chain entry of the arm64e slice: all in DYLD_CHAINED_PTR_ARM64E, and each
// authenticated rebase with an instruction key pointing into __TEXT's code.
void checkArm64eFixups(const Image& image, UniversalReport& report) {
  auto fail = [&](std::string what) { report.failures.push_back("arm64e: " + what); };
  if (!image.chainedFixups) return fail("no chained fixups");
  ByteReader file(image.slice);
  ByteReader fixups(file.range(image.chainedFixups->offset, image.chainedFixups->size, "fixups"));
  auto header = fixups.read<ChainedFixupsHeader>(0, "fixups header");
  uint32_t segments = fixups.read<uint32_t>(header.startsOffset, "starts");
  const Segment* text = image.textSegment();
  uint64_t codeStart = UINT64_MAX, codeEnd = 0;
  for (const Section& s : text->sections) {
    if (s.flags & 0x80000000u) {  // S_ATTR_PURE_INSTRUCTIONS
      codeStart = std::min(codeStart, s.addr);
      codeEnd = std::max(codeEnd, s.addr + s.size);
    }
  }
  size_t authRebases = 0, authBinds = 0, plain = 0;
  for (uint32_t s = 0; s < segments; s++) {
    uint32_t info = fixups.read<uint32_t>(header.startsOffset + 4 + 4 * s, "starts");
    if (!info) continue;
    uint64_t at = uint64_t{header.startsOffset} + info;
    auto starts = fixups.read<ChainedStartsInSegment>(at, "segment starts");
    if (starts.pointerFormat != kChainedPtrArm64E) {
      fail("segment " + std::to_string(s) + " has pointer format " +
           std::to_string(starts.pointerFormat));
      continue;
    }
    for (uint16_t page = 0; page < starts.pageCount; page++) {
      uint16_t first = fixups.read<uint16_t>(at + 22 + 2 * page, "page start");
      if (first == kChainedPageStartNone) continue;
      uint64_t vmaddr =
          image.baseAddress() + starts.segmentOffset + uint64_t{page} * starts.pageSize + first;
      for (;;) {
        const Segment* holder = nullptr;
        for (const Segment& seg : image.segments) {
          if (vmaddr >= seg.vmaddr && vmaddr - seg.vmaddr + 8 <= seg.filesize) holder = &seg;
        }
        if (!holder) return fail("a chain leaves the file");
        uint64_t raw = file.read<uint64_t>(holder->fileoff + vmaddr - holder->vmaddr, "entry");
        bool auth = bits(raw, 63, 1), bind = bits(raw, 62, 1);
        if (auth && !bind) {
          authRebases++;
          uint64_t key = bits(raw, 49, 2), target = image.baseAddress() + bits(raw, 0, 32);
          if (key <= 1 && (target < codeStart || target >= codeEnd)) {
            fail("an instruction-key rebase at " + std::to_string(vmaddr) +
                 " points outside __TEXT's code");
          }
        } else if (auth) {
          authBinds++;
        } else {
          plain++;
        }
        uint64_t next = bits(raw, 51, 11);
        if (!next) break;
        vmaddr += next * 8;
      }
    }
  }
  if (authRebases == 0) fail("no authenticated rebase: the function pointers in data are unsigned");
  report.facts.push_back("arm64e fixups: DYLD_CHAINED_PTR_ARM64E, " + std::to_string(authRebases) +
                         " authenticated rebases (instruction keys into __TEXT), " +
                         std::to_string(authBinds) + " authenticated binds, " +
                         std::to_string(plain) + " plain");
}

}  // namespace

UniversalReport checkUniversal(const std::vector<uint8_t>& file) {
  UniversalReport report;
  struct Expected {
    Cpu cpu;
    uint32_t minOS;
  };
  for (Expected want : {Expected{kArm64, 0x000c0000}, Expected{kArm64E, 0x000e0000}}) {
    std::string name = cpuName(want.cpu);
    try {
      uint32_t magic = 0;
      if (file.size() >= 4) std::memcpy(&magic, file.data(), 4);
      if (bigEndian(magic) != kFatMagic) throw LoadError{"not a universal file"};
      Image image = parseImage(file, want.cpu, "Quorvel.dylib");
      if (image.cpu.subtype != want.cpu.subtype) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08x", image.cpu.subtype);
        throw LoadError{std::string("subtype ") + hex};
      }
      if (image.minOS != want.minOS) throw LoadError{"minimum OS " + versionText(image.minOS)};
      verifyCodeSignature(image, name + " slice");
      report.facts.push_back(name + ": subtype, minimum OS " + versionText(image.minOS) +
                             ", signature with every page's hash matching");
      if (want.cpu.arm64e()) checkArm64eFixups(image, report);
    } catch (const LoadError& e) {
      report.failures.push_back(name + ": " + e.message);
    }
  }
  return report;
}

}  // namespace qv::arm64e
