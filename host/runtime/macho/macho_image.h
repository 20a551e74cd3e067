// A Mach-O dylib as its file describes it: the slice for this processor, its header and the
// load commands a loader acts on. Parsing checks what dyld checks before it maps anything.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qv::macho {

struct Section {
  std::string segment, name;
  uint64_t addr = 0, size = 0;
  uint32_t offset = 0, flags = 0;
  uint32_t type() const { return flags & 0xff; }
};

struct Segment {
  std::string name;
  uint64_t vmaddr = 0, vmsize = 0, fileoff = 0, filesize = 0;
  uint32_t maxprot = 0, initprot = 0, flags = 0;
  std::vector<Section> sections;
};

// A library the image links: its ordinal is its index here plus one.
struct DylibLink {
  std::string installName;
  bool weak = false;  // LC_LOAD_WEAK_DYLIB: missing, its imports bind to null
};

// A range of the slice (offset, size), as a load command gives it.
struct FileRange {
  uint32_t offset = 0, size = 0;
};

// The processor a process runs (or a slice is built for).
struct Cpu {
  uint32_t type = 0, subtype = 0;
  bool arm64e() const;
};
std::string cpuName(Cpu cpu);

struct Image {
  std::span<const uint8_t> slice;  // the file's bytes for this processor
  uint64_t sliceOffset = 0;        // where the slice starts in the file
  Cpu cpu;
  uint32_t filetype = 0, flags = 0;
  std::vector<Segment> segments;
  std::vector<DylibLink> dylibs;
  std::vector<std::string> rpaths;
  std::string installName;
  uint32_t platform = 0;                          // LC_BUILD_VERSION's (2: iOS)
  uint32_t minOS = 0;                             // xxxx.yy.zz packed as dyld packs it
  std::optional<std::vector<uint32_t>> dyldInfo;  // LC_DYLD_INFO(_ONLY): offset, size pairs
  std::optional<FileRange> chainedFixups, exportsTrie, codeSignature;
  std::optional<FileRange> symbols, strings;  // LC_SYMTAB: nlist_64 entries, string table
  uint32_t symbolCount = 0;

  const Segment* textSegment() const;
  // The lowest segment's address: where the mach header is mapped.
  uint64_t baseAddress() const;
};

// The slice of `file` that `process` runs, parsed and checked: refuses (LoadError) a file
// that is not a 64-bit Mach-O dylib for this processor, with two-level namespace and load
// commands that hold together. `path` is only for messages.
Image parseImage(std::span<const uint8_t> file, Cpu process, const std::string& path);

// A packed version (xxxx.yy.zz) written as "14.0" or "12.4.1".
std::string versionText(uint32_t packed);
// "14.2" -> packed; nothing when the text is not a version.
std::optional<uint32_t> parseVersion(const std::string& text);

}  // namespace qv::macho
