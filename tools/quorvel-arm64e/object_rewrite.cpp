#include "object_rewrite.h"

#include <cstring>
#include <sstream>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/macho_format.h"

namespace qv::arm64e {

using namespace macho;

namespace {

constexpr uint32_t kFileTypeObject = 1;
constexpr uint32_t kRelocUnsigned = 0;
constexpr uint32_t kRelocAuthenticatedPointer = 11;

struct Relocation {
  int32_t address;
  uint32_t info;  // symbolnum:24, pcrel:1, length:2, extern:1, type:4
  uint32_t type() const { return info >> 28; }
  uint32_t length() const { return (info >> 25) & 3; }
};

struct ObjectSection {
  uint64_t addr, size;
  uint32_t offset, reloff, nreloc;
};

struct Symbol {
  std::string name;
  uint8_t section;
  uint64_t value;
};

// Labels that start no atom of their own: the assembler's temporaries.
bool temporary(const std::string& name) { return name.empty() || name[0] == 'L' || name[0] == 'l'; }

template <class T>
void store(std::vector<uint8_t>& bytes, uint64_t at, T value) {
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

}  // namespace

RewrittenObject rewriteObject(const std::vector<uint8_t>& object) {
  RewrittenObject out{object, {}};
  try {
    ByteReader r(object);
    auto header = r.read<MachHeader64>(0, "header");
    if (header.magic != kMagic64 || header.cputype != kCpuTypeArm64 ||
        header.filetype != kFileTypeObject) {
      throw ToolError{"not a 64-bit arm64 object file"};
    }
    std::vector<ObjectSection> sections;
    std::vector<Symbol> symbols;
    uint64_t at = sizeof(MachHeader64);
    for (uint32_t i = 0; i < header.ncmds; i++) {
      auto lc = r.read<LoadCommand>(at, "load command");
      if (lc.cmdsize < sizeof(LoadCommand)) throw ToolError{"a load command's size is wrong"};
      if (lc.cmd == kLcSegment64) {
        auto seg = r.read<SegmentCommand64>(at, "segment");
        for (uint32_t s = 0; s < seg.nsects; s++) {
          auto sect = r.read<Section64>(at + sizeof seg + s * sizeof(Section64), "section");
          sections.push_back({sect.addr, sect.size, sect.offset, sect.reloff, sect.nreloc});
        }
      } else if (lc.cmd == kLcSymtab) {
        auto tab = r.read<SymtabCommand>(at, "symbol table");
        for (uint32_t n = 0; n < tab.nsyms; n++) {
          auto sym = r.read<Nlist64>(tab.symoff + uint64_t{n} * sizeof(Nlist64), "symbol");
          if ((sym.type & kNlistStab) || (sym.type & kNlistTypeMask) != kNlistSect) continue;
          symbols.push_back({r.cstring(tab.stroff + uint64_t{sym.strx},
                                       uint64_t{tab.stroff} + tab.strsize, "symbol name"),
                             sym.sect, sym.value});
        }
      }
      at += lc.cmdsize;
    }
    for (size_t s = 0; s < sections.size(); s++) {
      const ObjectSection& sect = sections[s];
      for (uint32_t n = 0; n < sect.nreloc; n++) {
        uint64_t where = sect.reloff + uint64_t{n} * sizeof(Relocation);
        auto reloc = r.read<Relocation>(where, "relocation");
        if (reloc.type() != kRelocAuthenticatedPointer) continue;
        if (reloc.length() != 3 || reloc.address < 0 || uint64_t(reloc.address) + 8 > sect.size) {
          throw ToolError{"an authenticated pointer that is not eight bytes inside its section"};
        }
        uint64_t content = sect.offset + uint64_t(reloc.address);
        AuthenticatedSlot slot = decodeAuthenticatedSlot(r.read<uint64_t>(content, "pointer"));
        // The plain relocation's addend is the whole 64 bits at its place.
        store<int64_t>(out.bytes, content, slot.addend);
        store<uint32_t>(out.bytes, where + 4, (reloc.info & 0x0fffffff) | (kRelocUnsigned << 28));
        // The atom the pointer lies in starts at the nearest symbol at or before it.
        uint64_t location = sect.addr + uint64_t(reloc.address);
        const Symbol* owner = nullptr;
        for (const Symbol& sym : symbols) {
          if (sym.section != s + 1 || sym.value > location || temporary(sym.name)) continue;
          if (!owner || sym.value > owner->value) owner = &sym;
        }
        if (!owner)
          throw ToolError{"no symbol holds the authenticated pointer at " +
                          std::to_string(location)};
        out.pointers.push_back({owner->name, location - owner->value, slot.schema});
      }
    }
    store<uint32_t>(out.bytes, offsetof(MachHeader64, cpusubtype), kCpuSubtypeArm64All);
  } catch (const LoadError& e) {
    throw ToolError{e.message};
  }
  return out;
}

std::string formatPointers(const std::vector<AuthenticatedPointer>& pointers) {
  std::ostringstream out;
  for (const AuthenticatedPointer& p : pointers) {
    out << p.offset << ' ' << int(p.schema.key) << ' ' << p.schema.diversity << ' '
        << int(p.schema.addressDiversity) << ' ' << p.symbol << '\n';
  }
  return out.str();
}

std::vector<AuthenticatedPointer> parsePointers(const std::string& text) {
  std::vector<AuthenticatedPointer> pointers;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    AuthenticatedPointer p;
    unsigned key = 0, diversity = 0, address = 0;
    if (!(fields >> p.offset >> key >> diversity >> address >> p.symbol) || key > 3 ||
        diversity > 0xffff || address > 1) {
      throw ToolError{"a malformed record: " + line};
    }
    p.schema = {static_cast<uint8_t>(key), static_cast<uint16_t>(diversity), address == 1};
    pointers.push_back(p);
  }
  return pointers;
}

}  // namespace qv::arm64e
