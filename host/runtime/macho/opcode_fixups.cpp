// The rebase and bind opcode streams of LC_DYLD_INFO, interpreted as dyld interprets them.
#include <cstdio>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/fixups.h"
#include "runtime/macho/macho_format.h"

namespace qv::macho {

namespace {

[[noreturn]] void badOpcode(const char* stream, uint8_t opcode) {
  char text[96];
  std::snprintf(text, sizeof text, "malformed mach-o image: %s opcode 0x%02x is not supported",
                stream, opcode);
  refuse(text);
}

// Where the opcodes point: a segment (by load-command index) and an offset inside it.
struct Cursor {
  const Image& image;
  const Segment* segment = nullptr;
  uint64_t offset = 0;

  void set(uint8_t index, uint64_t at) {
    if (index >= image.segments.size()) refuse("malformed mach-o image: a fixup names no segment");
    segment = &image.segments[index];
    offset = at;
  }
  uint64_t vmaddr() const {
    if (!segment) refuse("malformed mach-o image: a fixup before its segment is set");
    return segment->vmaddr + offset;
  }
};

void rebase(const Image& image, const ImageMapping& memory, std::span<const uint8_t> ops) {
  Cursor at{image};
  size_t i = 0;
  auto rebaseHere = [&] {
    uint64_t* slot = memory.fixupSlot(at.vmaddr());
    *slot += memory.slide();
    at.offset += 8;
  };
  while (i < ops.size()) {
    uint8_t byte = ops[i++];
    uint8_t imm = byte & kImmediateMask;
    switch (byte & kOpcodeMask) {
      case kRebaseDone:
        return;
      case kRebaseSetTypeImm:
        if (imm != kRebaseTypePointer) badOpcode("rebase type", imm);
        break;
      case kRebaseSetSegmentAndOffsetUleb:
        at.set(imm, readUleb(ops, i));
        break;
      case kRebaseAddAddrUleb:
        at.offset += readUleb(ops, i);
        break;
      case kRebaseAddAddrImmScaled:
        at.offset += imm * 8;
        break;
      case kRebaseDoRebaseImmTimes:
        for (uint8_t n = 0; n < imm; n++) rebaseHere();
        break;
      case kRebaseDoRebaseUlebTimes:
        for (uint64_t n = readUleb(ops, i); n > 0; n--) rebaseHere();
        break;
      case kRebaseDoRebaseAddAddrUleb:
        rebaseHere();
        at.offset += readUleb(ops, i);
        break;
      case kRebaseDoRebaseUlebTimesSkippingUleb: {
        uint64_t count = readUleb(ops, i), skip = readUleb(ops, i);
        for (; count > 0; count--) {
          rebaseHere();
          at.offset += skip;
        }
        break;
      }
      default:
        badOpcode("rebase", byte);
    }
  }
}

// A bind stream; the lazy one is a run of entries each ended by DONE.
void bind(const Image& image, const ImageMapping& memory, std::span<const uint8_t> ops,
          const SymbolResolver& resolve, bool lazy) {
  Cursor at{image};
  int ordinal = 0;
  std::string symbol;
  bool weakImport = false;
  int64_t addend = 0;
  size_t i = 0;
  auto bindHere = [&] {
    if (symbol.empty()) refuse("malformed mach-o image: a bind without a symbol");
    uint64_t* slot = memory.fixupSlot(at.vmaddr());
    uint64_t address = resolve(ordinal, symbol, weakImport);
    *slot = address ? address + static_cast<uint64_t>(addend) : 0;
    at.offset += 8;
  };
  while (i < ops.size()) {
    uint8_t byte = ops[i++];
    uint8_t imm = byte & kImmediateMask;
    switch (byte & kOpcodeMask) {
      case kBindDone:
        if (!lazy) return;
        break;
      case kBindSetDylibOrdinalImm:
        ordinal = imm;
        break;
      case kBindSetDylibOrdinalUleb:
        ordinal = static_cast<int>(readUleb(ops, i) & 0xffff);
        break;
      case kBindSetDylibSpecialImm:
        ordinal = imm == 0 ? 0 : static_cast<int8_t>(0xf0 | imm);
        break;
      case kBindSetSymbolTrailingFlagsImm: {
        size_t end = i;
        while (end < ops.size() && ops[end] != 0) end++;
        if (end >= ops.size()) refuse("malformed mach-o image: a bind symbol is not terminated");
        symbol.assign(reinterpret_cast<const char*>(&ops[i]), end - i);
        i = end + 1;
        weakImport = imm & kBindSymbolFlagsWeakImport;
        break;
      }
      case kBindSetTypeImm:
        if (imm != kBindTypePointer) badOpcode("bind type", imm);
        break;
      case kBindSetAddendSleb:
        addend = readSleb(ops, i);
        break;
      case kBindSetSegmentAndOffsetUleb:
        at.set(imm, readUleb(ops, i));
        break;
      case kBindAddAddrUleb:
        at.offset += readUleb(ops, i);
        break;
      case kBindDoBind:
        bindHere();
        break;
      case kBindDoBindAddAddrUleb:
        bindHere();
        at.offset += readUleb(ops, i);
        break;
      case kBindDoBindAddAddrImmScaled:
        bindHere();
        at.offset += imm * 8;
        break;
      case kBindDoBindUlebTimesSkippingUleb: {
        uint64_t count = readUleb(ops, i), skip = readUleb(ops, i);
        for (; count > 0; count--) {
          bindHere();
          at.offset += skip;
        }
        break;
      }
      default:
        badOpcode("bind", byte);
    }
  }
}

}  // namespace

void applyOpcodeFixups(const Image& image, const ImageMapping& memory,
                       const SymbolResolver& resolve) {
  if (!image.dyldInfo) return;
  const std::vector<uint32_t>& info = *image.dyldInfo;
  ByteReader file(image.slice);
  auto stream = [&](size_t k) { return file.range(info[k], info[k + 1], "dyld info"); };
  rebase(image, memory, stream(0));
  bind(image, memory, stream(2), resolve, false);
  // Weak binds (stream 4) coalesce weak definitions across images; the host exports none, so
  // the image's own definitions stand, as dyld would leave them.
  bind(image, memory, stream(6), resolve, true);
}

}  // namespace qv::macho
