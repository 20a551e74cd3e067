#include "support/macho_builder.h"

#include <algorithm>
#include <cstring>

#include "runtime/macho/code_signature.h"

namespace qv::testing {

using namespace macho;

namespace {

constexpr uint64_t kSegment = 0x4000;
constexpr uint64_t kLinkedit = 0x8000;

struct Writer {
  std::vector<uint8_t> bytes;
  size_t size() const { return bytes.size(); }
  void raw(const void* p, size_t n) {
    bytes.insert(bytes.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
  }
  template <class T>
  void put(T value) {
    raw(&value, sizeof value);
  }
  void putBig(uint32_t value) { put(__builtin_bswap32(value)); }
  void string(const std::string& s) { raw(s.c_str(), s.size() + 1); }
  void align(size_t to) {
    while (bytes.size() % to) bytes.push_back(0);
  }
  void uleb(uint64_t v, size_t width = 0) {  // width: pad to that many bytes
    size_t n = 0;
    do {
      uint8_t b = v & 0x7f;
      v >>= 7;
      n++;
      if (v || n < width) b |= 0x80;
      bytes.push_back(b);
    } while (v || n < width);
    if (width) bytes.back() &= 0x7f;
  }
  void sleb(int64_t v) {
    bool more = true;
    while (more) {
      uint8_t b = v & 0x7f;
      v >>= 7;
      more = !((v == 0 && !(b & 0x40)) || (v == -1 && (b & 0x40)));
      bytes.push_back(more ? b | 0x80 : b);
    }
  }
};

void fixedName(char (&out)[16], const char* name) {
  std::memset(out, 0, 16);
  std::memcpy(out, name, std::min<size_t>(std::strlen(name), 16));
}

void segment(Writer& w, const char* name, uint64_t vmaddr, uint64_t vmsize, uint64_t fileoff,
             uint64_t filesize, uint32_t prot, const std::vector<Section64>& sections) {
  SegmentCommand64 c{};
  c.cmd = kLcSegment64;
  c.cmdsize = static_cast<uint32_t>(sizeof c + sections.size() * sizeof(Section64));
  fixedName(c.segname, name);
  c.vmaddr = vmaddr;
  c.vmsize = vmsize;
  c.fileoff = fileoff;
  c.filesize = filesize;
  c.maxprot = c.initprot = prot;
  c.nsects = static_cast<uint32_t>(sections.size());
  w.put(c);
  for (const Section64& s : sections) w.put(s);
}

Section64 section(const char* segname, const char* name, uint64_t addr, uint64_t size,
                  uint32_t flags) {
  Section64 s{};
  fixedName(s.segname, segname);
  fixedName(s.sectname, name);
  s.addr = addr;
  s.size = size;
  s.offset = static_cast<uint32_t>(addr);  // every segment sits at its address in the file
  s.flags = flags;
  return s;
}

void stringCommand(Writer& w, uint32_t cmd, uint32_t fixed, const std::string& text) {
  uint32_t size = (fixed + static_cast<uint32_t>(text.size()) + 1 + 7) / 8 * 8;
  w.put(cmd);
  w.put(size);
  w.put(fixed);  // the string's offset: right after the fixed part
  for (uint32_t i = 12; i < fixed; i += 4) w.put(uint32_t{i == 16 ? 0x10000u : 0u});
  size_t start = w.size();
  w.string(text);
  while (w.size() - start < size - fixed) w.bytes.push_back(0);
}

void bindOpcodes(Writer& w, const DylibLayout::Bind& b) {
  if (b.ordinal >= 0 && b.ordinal < 16) {
    w.put(static_cast<uint8_t>(kBindSetDylibOrdinalImm | b.ordinal));
  } else if (b.ordinal > 0) {
    w.put(kBindSetDylibOrdinalUleb);
    w.uleb(static_cast<uint64_t>(b.ordinal));
  } else {
    w.put(static_cast<uint8_t>(kBindSetDylibSpecialImm | (b.ordinal & 0x0f)));
  }
  w.put(static_cast<uint8_t>(kBindSetSymbolTrailingFlagsImm |
                             (b.weak ? kBindSymbolFlagsWeakImport : 0)));
  w.string(b.symbol);
  w.put(static_cast<uint8_t>(kBindSetTypeImm | kBindTypePointer));
  w.put(kBindSetAddendSleb);
  w.sleb(b.addend);
  w.put(static_cast<uint8_t>(kBindSetSegmentAndOffsetUleb | 1));
  w.uleb(8 * b.slot);
  w.put(kBindDoBind);
}

bool arm64eFormat(uint16_t format) {
  return format != kChainedPtr64 && format != kChainedPtr64Offset;
}

std::vector<uint8_t> chainedFixups(const DylibLayout& layout, std::vector<uint64_t>& data) {
  uint16_t format = *layout.chainedFormat;
  unsigned stride = arm64eFormat(format) ? 8 : 4;
  unsigned nextShift = 51, nextBits = arm64eFormat(format) ? 11 : 12;
  for (size_t i = 0; i < layout.chain.size(); i++) {
    uint64_t next =
        i + 1 < layout.chain.size() ? (layout.chain[i + 1] - layout.chain[i]) * 8 / stride : 0;
    data[layout.chain[i]] |= (next & ((uint64_t{1} << nextBits) - 1)) << nextShift;
  }
  Writer w;
  std::vector<uint8_t> symbols;
  Writer imports;
  for (const DylibLayout::Import& imp : layout.imports) {
    uint32_t nameOffset = static_cast<uint32_t>(symbols.size());
    symbols.insert(symbols.end(), imp.name.begin(), imp.name.end());
    symbols.push_back(0);
    if (layout.importsFormat == kChainedImportAddend64) {
      imports.put(uint64_t(uint16_t(imp.ordinal)) | (uint64_t{imp.weak} << 16) |
                  (uint64_t{nameOffset} << 32));
      imports.put(imp.addend);
    } else {
      imports.put(uint32_t(uint8_t(imp.ordinal)) | (uint32_t{imp.weak} << 8) | (nameOffset << 9));
      if (layout.importsFormat == kChainedImportAddend)
        imports.put(static_cast<int32_t>(imp.addend));
    }
  }
  const uint32_t startsOffset = 32, segmentInfo = 16,
                 importsOffset = startsOffset + segmentInfo + 24;
  ChainedFixupsHeader h{0,
                        startsOffset,
                        importsOffset,
                        importsOffset + static_cast<uint32_t>(imports.size()),
                        static_cast<uint32_t>(layout.imports.size()),
                        layout.importsFormat,
                        0};
  w.put(h);
  w.align(8);
  w.put(uint32_t{3});  // __TEXT, __DATA, __LINKEDIT
  w.put(uint32_t{0});
  w.put(segmentInfo);
  w.put(uint32_t{0});
  w.put(uint32_t{24});      // size
  w.put(uint16_t{0x4000});  // page size
  w.put(format);
  w.put(uint64_t{kDataAddress});  // segment offset from __TEXT
  w.put(uint32_t{0});             // max valid pointer
  w.put(uint16_t{1});             // one page
  w.put(static_cast<uint16_t>(layout.chain.empty() ? kChainedPageStartNone : 8 * layout.chain[0]));
  w.raw(imports.bytes.data(), imports.size());
  w.raw(symbols.data(), symbols.size());
  return w.bytes;
}

std::vector<uint8_t> exportTrie(const DylibLayout& layout) {
  Writer w;
  w.uleb(0);  // the root exports nothing itself
  w.put(static_cast<uint8_t>(layout.exports.size()));
  size_t edges = w.size();
  for (const auto& e : layout.exports) edges += e.first.size() + 1 + 4;
  std::vector<size_t> nodes;
  size_t at = edges;
  for (const auto& e : layout.exports) {
    nodes.push_back(at);
    Writer leaf;
    leaf.uleb(0);
    leaf.uleb(e.second);
    at += 1 + leaf.size() + 1;
  }
  for (size_t i = 0; i < layout.exports.size(); i++) {
    w.string(layout.exports[i].first);
    w.uleb(nodes[i], 4);
  }
  for (const auto& e : layout.exports) {
    Writer leaf;
    leaf.uleb(0);
    leaf.uleb(e.second);
    w.uleb(leaf.size());
    w.raw(leaf.bytes.data(), leaf.size());
    w.put(uint8_t{0});
  }
  return w.bytes;
}

}  // namespace

std::vector<uint8_t> jumpThroughSlot(Cpu cpu, uint64_t at, uint64_t slot) {
  Writer w;
  if (cpu.type == kCpuTypeArm64) {
    int64_t words = (static_cast<int64_t>(slot) - static_cast<int64_t>(at)) / 4;
    w.put(uint32_t{0x58000010} | ((static_cast<uint32_t>(words) & 0x7ffff) << 5));  // ldr x16, slot
    w.put(uint32_t{0xd61f0200});                                                    // br x16
  } else {
    w.put(uint8_t{0xff});  // jmp *slot(%rip)
    w.put(uint8_t{0x25});
    w.put(static_cast<int32_t>(static_cast<int64_t>(slot) - static_cast<int64_t>(at + 6)));
  }
  return w.bytes;
}

std::vector<uint8_t> buildMachO(const DylibLayout& layout) {
  std::vector<uint64_t> data = layout.data;
  data.resize(kSegment / 8, 0);

  // __LINKEDIT's content, at its file offset.
  Writer link;
  std::optional<std::vector<uint32_t>> dyldInfo;
  std::optional<FileRange> chained, trie;
  auto here = [&] { return static_cast<uint32_t>(kLinkedit + link.size()); };
  if (layout.chainedFormat) {
    std::vector<uint8_t> blob = chainedFixups(layout, data);
    chained = FileRange{here(), static_cast<uint32_t>(blob.size())};
    link.raw(blob.data(), blob.size());
    link.align(8);
    std::vector<uint8_t> t = exportTrie(layout);
    trie = FileRange{here(), static_cast<uint32_t>(t.size())};
    link.raw(t.data(), t.size());
  } else {
    std::vector<uint32_t> info(10, 0);
    info[0] = here();
    for (size_t slot : layout.rebases) {
      link.put(static_cast<uint8_t>(kRebaseSetTypeImm | kRebaseTypePointer));
      link.put(static_cast<uint8_t>(kRebaseSetSegmentAndOffsetUleb | 1));
      link.uleb(8 * slot);
      link.put(static_cast<uint8_t>(kRebaseDoRebaseImmTimes | 1));
    }
    link.put(kRebaseDone);
    info[1] = here() - info[0];
    info[2] = here();
    for (const auto& b : layout.binds) {
      if (!b.lazy) bindOpcodes(link, b);
    }
    link.put(kBindDone);
    info[3] = here() - info[2];
    info[6] = here();
    for (const auto& b : layout.binds) {
      if (!b.lazy) continue;
      bindOpcodes(link, b);
      link.put(kBindDone);
    }
    info[7] = here() - info[6];
    info[8] = here();
    std::vector<uint8_t> t = exportTrie(layout);
    link.raw(t.data(), t.size());
    info[9] = here() - info[8];
    dyldInfo = info;
  }
  link.align(8);
  uint32_t symoff = here();
  Writer strings;
  strings.put(uint8_t{0});
  std::vector<std::pair<std::string, uint64_t>> symbols = layout.exports;
  symbols.insert(symbols.end(), layout.hiddenSymbols.begin(), layout.hiddenSymbols.end());
  for (const auto& [name, offset] : symbols) {
    Nlist64 n{static_cast<uint32_t>(strings.size()), kNlistSect, 1, 0, offset};
    link.put(n);
    strings.string(name);
  }
  uint32_t stroff = here();
  link.raw(strings.bytes.data(), strings.size());
  link.align(16);
  uint32_t signatureOffset = here();
  uint32_t signatureSize =
      layout.sign ? static_cast<uint32_t>(adHocSignatureSize(signatureOffset, "test")) : 0;
  uint64_t linkeditSize = link.size() + signatureSize;

  // Header and load commands.
  Writer cmds;
  segment(cmds, "__TEXT", 0, kSegment, 0, kSegment, kProtRead | kProtExecute,
          {section("__TEXT", "__text", kCodeAddress, layout.code.size() ? layout.code.size() : 4,
                   0x80000400)});
  std::vector<Section64> dataSections;
  if (layout.initialisers) {
    dataSections.push_back(section("__DATA", "__mod_init_func", kDataAddress,
                                   8 * layout.initialisers, kSectionModInitFuncPointers));
  }
  dataSections.push_back(section("__DATA", "__data", kDataAddress + 8 * layout.initialisers,
                                 kSegment - 8 * layout.initialisers, 0));
  segment(cmds, "__DATA", kDataAddress, kSegment, kSegment, kSegment, kProtRead | kProtWrite,
          dataSections);
  segment(cmds, "__LINKEDIT", kLinkedit, (linkeditSize + kSegment - 1) / kSegment * kSegment,
          kLinkedit, linkeditSize, kProtRead, {});
  stringCommand(cmds, kLcIdDylib, 24, "/test/Test.dylib");
  for (const auto& d : layout.dylibs)
    stringCommand(cmds, d.weak ? kLcLoadWeakDylib : kLcLoadDylib, 24, d.installName);
  for (const auto& r : layout.rpaths) stringCommand(cmds, kLcRpath, 12, r);
  cmds.put(BuildVersionCommand{kLcBuildVersion, sizeof(BuildVersionCommand), layout.platform,
                               layout.minOS, layout.minOS, 0});
  if (dyldInfo) {
    const auto& i = *dyldInfo;
    cmds.put(DyldInfoCommand{kLcDyldInfoOnly, sizeof(DyldInfoCommand), i[0], i[1], i[2], i[3], i[4],
                             i[5], i[6], i[7], i[8], i[9]});
  } else {
    cmds.put(LinkeditDataCommand{kLcDyldChainedFixups, 16, chained->offset, chained->size});
    cmds.put(LinkeditDataCommand{kLcDyldExportsTrie, 16, trie->offset, trie->size});
  }
  cmds.put(SymtabCommand{kLcSymtab, sizeof(SymtabCommand), symoff,
                         static_cast<uint32_t>(symbols.size()), stroff,
                         static_cast<uint32_t>(strings.size())});
  if (layout.sign)
    cmds.put(LinkeditDataCommand{kLcCodeSignature, 16, signatureOffset, signatureSize});

  Writer file;
  uint32_t ncmds = 3 + 1 + static_cast<uint32_t>(layout.dylibs.size() + layout.rpaths.size()) + 1 +
                   (dyldInfo ? 1 : 2) + 1 + (layout.sign ? 1 : 0);
  file.put(MachHeader64{kMagic64, layout.cpu.type, layout.cpu.subtype, layout.filetype, ncmds,
                        static_cast<uint32_t>(cmds.size()), layout.flags, 0});
  file.raw(cmds.bytes.data(), cmds.size());
  file.bytes.resize(kCodeAddress, 0);
  file.raw(layout.code.data(), layout.code.size());
  file.bytes.resize(kSegment, 0);
  for (uint64_t word : data) file.put(word);
  file.raw(link.bytes.data(), link.size());

  if (layout.sign) {
    std::vector<uint8_t> signature = adHocSignature(file.bytes, signatureOffset, "test", kSegment);
    file.raw(signature.data(), signature.size());
  }
  return file.bytes;
}

std::vector<uint8_t> fatFile(const std::vector<std::pair<Cpu, std::vector<uint8_t>>>& slices) {
  Writer w;
  w.putBig(kFatMagic);
  w.putBig(static_cast<uint32_t>(slices.size()));
  uint32_t offset = 0x4000;
  for (const auto& [cpu, bytes] : slices) {
    w.putBig(cpu.type);
    w.putBig(cpu.subtype);
    w.putBig(offset);
    w.putBig(static_cast<uint32_t>(bytes.size()));
    w.putBig(14);
    offset += (static_cast<uint32_t>(bytes.size()) + 0x3fff) / 0x4000 * 0x4000;
  }
  for (const auto& [cpu, bytes] : slices) {
    w.align(0x4000);
    w.raw(bytes.data(), bytes.size());
  }
  return w.bytes;
}

uint64_t chainedRebase(uint64_t target, uint8_t high8) { return target | (uint64_t{high8} << 36); }
uint64_t chainedBind(uint32_t ordinal, uint8_t addend) {
  return ordinal | (uint64_t{addend} << 24) | (uint64_t{1} << 63);
}
uint64_t arm64eRebase(uint64_t target, uint8_t high8) { return target | (uint64_t{high8} << 43); }
uint64_t arm64eBind(uint32_t ordinal, int32_t addend) {
  return ordinal | ((static_cast<uint64_t>(addend) & 0x7ffff) << 32) | (uint64_t{1} << 62);
}
uint64_t arm64eAuthRebase(uint32_t target, uint16_t diversity, bool addressDiversity,
                          PointerKey key) {
  return target | (uint64_t{diversity} << 32) | (uint64_t{addressDiversity} << 48) |
         (uint64_t(key) << 49) | (uint64_t{1} << 63);
}
uint64_t arm64eAuthBind(uint32_t ordinal, uint16_t diversity, bool addressDiversity,
                        PointerKey key) {
  return arm64eAuthRebase(ordinal, diversity, addressDiversity, key) | (uint64_t{1} << 62);
}

}  // namespace qv::testing
