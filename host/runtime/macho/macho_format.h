// The parts of the Mach-O format that loading a dylib reads: headers, load commands, the
// opcode streams and chained fixups of dyld, the export trie and the code signature. Laid out
// as Apple's <mach-o/loader.h>, <mach-o/fixup-chains.h> and the code-signing headers define
// them; every structure is read from the file with bounds checked, never cast in place.
#pragma once

#include <cstdint>

namespace qv::macho {

// Header.
constexpr uint32_t kMagic64 = 0xfeedfacf;
constexpr uint32_t kFatMagic = 0xcafebabe;  // big-endian on disk, as every fat field
constexpr uint32_t kFatMagic64 = 0xcafebabf;
constexpr uint32_t kCpuArch64 = 0x01000000;
constexpr uint32_t kCpuTypeX86_64 = 7 | kCpuArch64;
constexpr uint32_t kCpuTypeArm64 = 12 | kCpuArch64;
constexpr uint32_t kCpuSubtypeMask = 0x00ffffff;
constexpr uint32_t kCpuSubtypeArm64All = 0;
constexpr uint32_t kCpuSubtypeArm64E = 2;
constexpr uint32_t kCpuSubtypePtrauthAbi = 0x80000000;  // arm64e: the ABI version is versioned
constexpr uint32_t kFileTypeDylib = 6;
constexpr uint32_t kFlagTwoLevel = 0x80;

struct MachHeader64 {
  uint32_t magic, cputype, cpusubtype, filetype, ncmds, sizeofcmds, flags, reserved;
};

// Load commands.
constexpr uint32_t kReqDyld = 0x80000000;
constexpr uint32_t kLcSymtab = 0x2;
constexpr uint32_t kLcDysymtab = 0xb;
constexpr uint32_t kLcLoadDylib = 0xc;
constexpr uint32_t kLcIdDylib = 0xd;
constexpr uint32_t kLcSegment64 = 0x19;
constexpr uint32_t kLcUuid = 0x1b;
constexpr uint32_t kLcRpath = 0x1c | kReqDyld;
constexpr uint32_t kLcCodeSignature = 0x1d;
constexpr uint32_t kLcLoadWeakDylib = 0x18 | kReqDyld;
constexpr uint32_t kLcReexportDylib = 0x1f | kReqDyld;
constexpr uint32_t kLcDyldInfo = 0x22;
constexpr uint32_t kLcDyldInfoOnly = 0x22 | kReqDyld;
constexpr uint32_t kLcLoadUpwardDylib = 0x23 | kReqDyld;
constexpr uint32_t kLcVersionMinIphoneos = 0x25;
constexpr uint32_t kLcBuildVersion = 0x32;
constexpr uint32_t kLcDyldExportsTrie = 0x33 | kReqDyld;
constexpr uint32_t kLcDyldChainedFixups = 0x34 | kReqDyld;

struct LoadCommand {
  uint32_t cmd, cmdsize;
};
struct SegmentCommand64 {
  uint32_t cmd, cmdsize;
  char segname[16];
  uint64_t vmaddr, vmsize, fileoff, filesize;
  uint32_t maxprot, initprot, nsects, flags;
};
struct Section64 {
  char sectname[16];
  char segname[16];
  uint64_t addr, size;
  uint32_t offset, align, reloff, nreloc, flags, reserved1, reserved2, reserved3;
};
struct DylibCommand {
  uint32_t cmd, cmdsize;
  uint32_t nameOffset, timestamp, currentVersion, compatibilityVersion;
};
struct RpathCommand {
  uint32_t cmd, cmdsize, pathOffset;
};
struct LinkeditDataCommand {
  uint32_t cmd, cmdsize, dataoff, datasize;
};
struct DyldInfoCommand {
  uint32_t cmd, cmdsize;
  uint32_t rebaseOff, rebaseSize, bindOff, bindSize, weakBindOff, weakBindSize;
  uint32_t lazyBindOff, lazyBindSize, exportOff, exportSize;
};
struct SymtabCommand {
  uint32_t cmd, cmdsize, symoff, nsyms, stroff, strsize;
};
struct BuildVersionCommand {
  uint32_t cmd, cmdsize, platform, minos, sdk, ntools;
};
struct VersionMinCommand {
  uint32_t cmd, cmdsize, version, sdk;
};
struct Nlist64 {
  uint32_t strx;
  uint8_t type, sect;
  uint16_t desc;
  uint64_t value;
};
constexpr uint8_t kNlistTypeMask = 0x0e;
constexpr uint8_t kNlistSect = 0x0e;
constexpr uint8_t kNlistStab = 0xe0;

constexpr uint32_t kPlatformIos = 2;
constexpr uint32_t kProtRead = 1, kProtWrite = 2, kProtExecute = 4;
constexpr uint32_t kSegReadOnly = 0x10;  // dyld makes it read-only once fixed up

// Section types (the low byte of flags).
constexpr uint32_t kSectionTypeMask = 0xff;
constexpr uint32_t kSectionZeroFill = 0x1;
constexpr uint32_t kSectionModInitFuncPointers = 0x9;
constexpr uint32_t kSectionInitFuncOffsets = 0x16;

// Rebase and bind opcodes (LC_DYLD_INFO).
constexpr uint8_t kOpcodeMask = 0xf0, kImmediateMask = 0x0f;
constexpr uint8_t kRebaseTypePointer = 1;
constexpr uint8_t kRebaseDone = 0x00, kRebaseSetTypeImm = 0x10,
                  kRebaseSetSegmentAndOffsetUleb = 0x20, kRebaseAddAddrUleb = 0x30,
                  kRebaseAddAddrImmScaled = 0x40, kRebaseDoRebaseImmTimes = 0x50,
                  kRebaseDoRebaseUlebTimes = 0x60, kRebaseDoRebaseAddAddrUleb = 0x70,
                  kRebaseDoRebaseUlebTimesSkippingUleb = 0x80;
constexpr uint8_t kBindTypePointer = 1;
constexpr uint8_t kBindSymbolFlagsWeakImport = 0x1;
constexpr uint8_t kBindDone = 0x00, kBindSetDylibOrdinalImm = 0x10, kBindSetDylibOrdinalUleb = 0x20,
                  kBindSetDylibSpecialImm = 0x30, kBindSetSymbolTrailingFlagsImm = 0x40,
                  kBindSetTypeImm = 0x50, kBindSetAddendSleb = 0x60,
                  kBindSetSegmentAndOffsetUleb = 0x70, kBindAddAddrUleb = 0x80, kBindDoBind = 0x90,
                  kBindDoBindAddAddrUleb = 0xa0, kBindDoBindAddAddrImmScaled = 0xb0,
                  kBindDoBindUlebTimesSkippingUleb = 0xc0, kBindThreaded = 0xd0;

// Special library ordinals of a two-level bind.
constexpr int kOrdinalSelf = 0;
constexpr int kOrdinalMainExecutable = -1;
constexpr int kOrdinalFlatLookup = -2;
constexpr int kOrdinalWeakLookup = -3;

// Export trie.
constexpr uint64_t kExportKindMask = 0x03;
constexpr uint64_t kExportKindRegular = 0x00, kExportKindThreadLocal = 0x01,
                   kExportKindAbsolute = 0x02;
constexpr uint64_t kExportWeakDefinition = 0x04, kExportReexport = 0x08,
                   kExportStubAndResolver = 0x10;

// Chained fixups (LC_DYLD_CHAINED_FIXUPS).
struct ChainedFixupsHeader {
  uint32_t fixupsVersion, startsOffset, importsOffset, symbolsOffset, importsCount, importsFormat,
      symbolsFormat;
};
constexpr uint32_t kChainedImport = 1, kChainedImportAddend = 2, kChainedImportAddend64 = 3;
constexpr uint16_t kChainedPtrArm64E = 1, kChainedPtr64 = 2, kChainedPtr64Offset = 6,
                   kChainedPtrArm64EUserland = 9, kChainedPtrArm64EUserland24 = 12;
constexpr uint16_t kChainedPageStartNone = 0xffff;
constexpr uint16_t kChainedPageStartMulti = 0x8000;
struct ChainedStartsInSegment {
  uint32_t size;
  uint16_t pageSize, pointerFormat;
  uint64_t segmentOffset;
  uint32_t maxValidPointer;
  uint16_t pageCount;
  // uint16_t pageStart[pageCount] follows
};

// Code signature (big-endian on disk).
constexpr uint32_t kCsMagicEmbeddedSignature = 0xfade0cc0;
constexpr uint32_t kCsMagicCodeDirectory = 0xfade0c02;
constexpr uint32_t kCsSlotCodeDirectory = 0;
constexpr uint8_t kCsHashTypeSha256 = 2;
struct CsBlobIndex {
  uint32_t type, offset;
};
struct CsCodeDirectory {
  uint32_t magic, length, version, flags, hashOffset, identOffset, nSpecialSlots, nCodeSlots,
      codeLimit;
  uint8_t hashSize, hashType, platform, pageSize;
  uint32_t spare2;
};

}  // namespace qv::macho
