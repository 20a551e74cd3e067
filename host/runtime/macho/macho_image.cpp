#include "runtime/macho/macho_image.h"

#include <cstdio>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/macho_format.h"

namespace qv::macho {

bool Cpu::arm64e() const {
  return type == kCpuTypeArm64 && (subtype & kCpuSubtypeMask) == kCpuSubtypeArm64E;
}

std::string cpuName(Cpu cpu) {
  if (cpu.type == kCpuTypeX86_64) return "x86_64";
  if (cpu.type == kCpuTypeArm64) return cpu.arm64e() ? "arm64e" : "arm64";
  if (cpu.type == 12) return "arm";
  if (cpu.type == 7) return "i386";
  char text[32];
  std::snprintf(text, sizeof text, "cputype %u", cpu.type);
  return text;
}

namespace {

// A slice runs in the process when it is built for the same processor: an arm64e process
// takes arm64e code only, an arm64 one the plain arm64 subtypes.
bool runsIn(Cpu slice, Cpu process) {
  if (slice.type != process.type) return false;
  if (process.type != kCpuTypeArm64) return true;
  return slice.arm64e() == process.arm64e();
}

struct SliceChoice {
  std::span<const uint8_t> bytes;
  uint64_t offset = 0;
};

SliceChoice chooseSlice(std::span<const uint8_t> file, Cpu process) {
  ByteReader reader(file);
  if (file.size() < 4) refuse("file too short");
  uint32_t magic = bigEndian(reader.read<uint32_t>(0, "magic"));
  if (magic != kFatMagic && magic != kFatMagic64) return {file, 0};
  bool wide = magic == kFatMagic64;
  uint32_t count = bigEndian(reader.read<uint32_t>(4, "fat header"));
  if (count > 64) refuse("malformed fat file: too many slices");
  std::string have;
  size_t entry = wide ? 32 : 20;
  for (uint32_t i = 0; i < count; i++) {
    uint64_t at = 8 + i * entry;
    Cpu cpu{bigEndian(reader.read<uint32_t>(at, "fat slice")),
            bigEndian(reader.read<uint32_t>(at + 4, "fat slice"))};
    uint64_t offset, size;
    if (wide) {
      offset = bigEndian(reader.read<uint64_t>(at + 8, "fat slice"));
      size = bigEndian(reader.read<uint64_t>(at + 16, "fat slice"));
    } else {
      offset = bigEndian(reader.read<uint32_t>(at + 8, "fat slice"));
      size = bigEndian(reader.read<uint32_t>(at + 12, "fat slice"));
    }
    if (runsIn(cpu, process)) return {reader.range(offset, size, "fat slice"), offset};
    have += (have.empty() ? "" : ",") + cpuName(cpu);
  }
  refuse("fat file, but missing compatible architecture (have '" + have + "', need '" +
         cpuName(process) + "')");
}

std::string fixedName(const char (&name)[16]) {
  size_t n = 0;
  while (n < 16 && name[n]) n++;
  return std::string(name, n);
}

// A string a load command carries at `offset` from its start.
std::string commandString(const ByteReader& r, uint64_t command, uint32_t size, uint32_t offset,
                          const char* what) {
  if (offset < 8 || offset >= size) refuse(std::string("malformed mach-o image: ") + what);
  return r.cstring(command + offset, command + size, what);
}

void parseSegment(const ByteReader& r, uint64_t at, uint32_t size, Image& image) {
  auto cmd = r.read<SegmentCommand64>(at, "segment load command");
  if (sizeof(SegmentCommand64) + uint64_t{cmd.nsects} * sizeof(Section64) > size) {
    refuse("malformed mach-o image: segment load command size too small for its sections");
  }
  Segment s;
  s.name = fixedName(cmd.segname);
  s.vmaddr = cmd.vmaddr;
  s.vmsize = cmd.vmsize;
  s.fileoff = cmd.fileoff;
  s.filesize = cmd.filesize;
  s.maxprot = cmd.maxprot;
  s.initprot = cmd.initprot;
  s.flags = cmd.flags;
  if (s.filesize > s.vmsize)
    refuse("malformed mach-o image: segment " + s.name + " filesize exceeds vmsize");
  if (s.vmaddr + s.vmsize < s.vmaddr)
    refuse("malformed mach-o image: segment " + s.name + " wraps");
  if (s.fileoff > r.size() || s.filesize > r.size() - s.fileoff) {
    refuse("truncated mach-o error: segment " + s.name + " extends to " +
           std::to_string(s.fileoff + s.filesize) + " which is past end of file " +
           std::to_string(r.size()));
  }
  for (uint32_t i = 0; i < cmd.nsects; i++) {
    auto sect = r.read<Section64>(at + sizeof(SegmentCommand64) + i * sizeof(Section64), "section");
    Section x;
    x.segment = fixedName(sect.segname);
    x.name = fixedName(sect.sectname);
    x.addr = sect.addr;
    x.size = sect.size;
    x.offset = sect.offset;
    x.flags = sect.flags;
    if (x.addr < s.vmaddr || x.size > s.vmsize || x.addr - s.vmaddr > s.vmsize - x.size) {
      refuse("malformed mach-o image: section " + x.name + " lies outside segment " + s.name);
    }
    s.sections.push_back(std::move(x));
  }
  image.segments.push_back(std::move(s));
}

FileRange linkeditRange(const ByteReader& r, uint64_t at, const char* what) {
  auto cmd = r.read<LinkeditDataCommand>(at, what);
  r.range(cmd.dataoff, cmd.datasize, what);
  return {cmd.dataoff, cmd.datasize};
}

void parseCommands(const ByteReader& r, const MachHeader64& header, Image& image) {
  uint64_t at = sizeof(MachHeader64);
  uint64_t end = at + header.sizeofcmds;
  r.range(at, header.sizeofcmds, "load commands");
  for (uint32_t i = 0; i < header.ncmds; i++) {
    if (at + sizeof(LoadCommand) > end)
      refuse("malformed mach-o image: load commands exceed sizeofcmds");
    auto lc = r.read<LoadCommand>(at, "load command");
    if (lc.cmdsize < sizeof(LoadCommand) || lc.cmdsize % 8 != 0 || lc.cmdsize > end - at) {
      refuse("malformed mach-o image: load command " + std::to_string(i) + " size is wrong");
    }
    switch (lc.cmd) {
      case kLcSegment64:
        parseSegment(r, at, lc.cmdsize, image);
        break;
      case kLcLoadDylib:
      case kLcLoadWeakDylib:
      case kLcReexportDylib:
      case kLcLoadUpwardDylib: {
        auto cmd = r.read<DylibCommand>(at, "dylib load command");
        image.dylibs.push_back({commandString(r, at, lc.cmdsize, cmd.nameOffset, "dylib name"),
                                lc.cmd == kLcLoadWeakDylib});
        break;
      }
      case kLcIdDylib: {
        auto cmd = r.read<DylibCommand>(at, "dylib id command");
        image.installName = commandString(r, at, lc.cmdsize, cmd.nameOffset, "install name");
        break;
      }
      case kLcRpath: {
        auto cmd = r.read<RpathCommand>(at, "rpath command");
        image.rpaths.push_back(commandString(r, at, lc.cmdsize, cmd.pathOffset, "rpath"));
        break;
      }
      case kLcBuildVersion: {
        auto cmd = r.read<BuildVersionCommand>(at, "build version command");
        image.platform = cmd.platform;
        image.minOS = cmd.minos;
        break;
      }
      case kLcVersionMinIphoneos: {
        auto cmd = r.read<VersionMinCommand>(at, "version command");
        image.platform = kPlatformIos;
        image.minOS = cmd.version;
        break;
      }
      case kLcDyldInfo:
      case kLcDyldInfoOnly: {
        auto cmd = r.read<DyldInfoCommand>(at, "dyld info command");
        std::vector<uint32_t> ranges = {
            cmd.rebaseOff,    cmd.rebaseSize,  cmd.bindOff,      cmd.bindSize,  cmd.weakBindOff,
            cmd.weakBindSize, cmd.lazyBindOff, cmd.lazyBindSize, cmd.exportOff, cmd.exportSize};
        for (size_t k = 0; k < ranges.size(); k += 2)
          r.range(ranges[k], ranges[k + 1], "dyld info");
        image.dyldInfo = ranges;
        break;
      }
      case kLcDyldChainedFixups:
        image.chainedFixups = linkeditRange(r, at, "chained fixups");
        break;
      case kLcDyldExportsTrie:
        image.exportsTrie = linkeditRange(r, at, "exports trie");
        break;
      case kLcCodeSignature:
        image.codeSignature = linkeditRange(r, at, "code signature");
        break;
      case kLcSymtab: {
        auto cmd = r.read<SymtabCommand>(at, "symbol table command");
        r.range(cmd.symoff, uint64_t{cmd.nsyms} * sizeof(Nlist64), "symbol table");
        r.range(cmd.stroff, cmd.strsize, "string table");
        image.symbols = FileRange{cmd.symoff, static_cast<uint32_t>(cmd.nsyms * sizeof(Nlist64))};
        image.strings = FileRange{cmd.stroff, cmd.strsize};
        image.symbolCount = cmd.nsyms;
        break;
      }
      default:
        // Commands dyld must understand, and this loader does not, refuse the image.
        if (lc.cmd & kReqDyld) {
          char hex[16];
          std::snprintf(hex, sizeof hex, "0x%x", lc.cmd);
          refuse(std::string("malformed mach-o image: unknown required load command ") + hex);
        }
        break;
    }
    at += lc.cmdsize;
  }
}

}  // namespace

const Segment* Image::textSegment() const {
  for (const Segment& s : segments) {
    if (s.name == "__TEXT") return &s;
  }
  return nullptr;
}

uint64_t Image::baseAddress() const { return textSegment() ? textSegment()->vmaddr : 0; }

Image parseImage(std::span<const uint8_t> file, Cpu process, const std::string& path) {
  SliceChoice choice = chooseSlice(file, process);
  ByteReader r(choice.bytes);
  if (r.size() < sizeof(MachHeader64)) refuse("file too short");
  auto header = r.read<MachHeader64>(0, "mach header");
  if (header.magic != kMagic64) {
    if (header.magic == 0xfeedface) {
      refuse("mach-o file, but is an incompatible architecture (have '" +
             cpuName({header.cputype, header.cpusubtype}) + "', need '" + cpuName(process) + "')");
    }
    refuse("not a mach-o file");
  }
  Image image;
  image.slice = choice.bytes;
  image.sliceOffset = choice.offset;
  image.cpu = {header.cputype, header.cpusubtype};
  image.filetype = header.filetype;
  image.flags = header.flags;
  if (!runsIn(image.cpu, process)) {
    refuse("mach-o file, but is an incompatible architecture (have '" + cpuName(image.cpu) +
           "', need '" + cpuName(process) + "')");
  }
  if (header.filetype != kFileTypeDylib) refuse("mach-o file, but is not a dylib: " + path);
  if (!(header.flags & kFlagTwoLevel))
    refuse("mach-o file, but not built with two-level namespace: " + path);
  parseCommands(r, header, image);
  if (!image.textSegment()) refuse("malformed mach-o image: no __TEXT segment");
  if (image.textSegment()->fileoff != 0)
    refuse("malformed mach-o image: __TEXT does not start the file");
  return image;
}

std::string versionText(uint32_t packed) {
  std::string text = std::to_string(packed >> 16) + "." + std::to_string((packed >> 8) & 0xff);
  if (packed & 0xff) text += "." + std::to_string(packed & 0xff);
  return text;
}

std::optional<uint32_t> parseVersion(const std::string& text) {
  uint32_t parts[3] = {0, 0, 0};
  size_t part = 0, digits = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      parts[part] = parts[part] * 10 + static_cast<uint32_t>(c - '0');
      if (++digits > 5) return std::nullopt;
    } else if (c == '.' && digits > 0 && part < 2) {
      part++;
      digits = 0;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || parts[0] > 0xffff || parts[1] > 0xff || parts[2] > 0xff) return std::nullopt;
  return (parts[0] << 16) | (parts[1] << 8) | parts[2];
}

}  // namespace qv::macho
