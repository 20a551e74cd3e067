// An image's segments in memory: one reserved range for the whole image, each segment copied
// from the file at its offset and given its protections once fixed up.
#pragma once

#include <cstdint>

#include "runtime/macho/macho_image.h"

namespace qv::macho {

class ImageMapping {
 public:
  // Reserves the image's address range and copies each segment's file content into it,
  // writable until protect(). Refuses (LoadError) overlapping, unaligned or absurd segments.
  explicit ImageMapping(const Image& image);
  ~ImageMapping();
  ImageMapping(const ImageMapping&) = delete;
  ImageMapping& operator=(const ImageMapping&) = delete;

  // Where the mach header (the lowest segment) is mapped.
  uint8_t* base() const { return base_; }
  size_t size() const { return size_; }
  // Added to an address of the file's to give the address in memory.
  uint64_t slide() const { return reinterpret_cast<uint64_t>(base_) - image_.baseAddress(); }
  uint64_t runtimeAddress(uint64_t vmaddr) const { return vmaddr + slide(); }

  // The pointer-sized location at `vmaddr`, for a fixup: it must lie inside a segment that
  // dyld writes (neither __TEXT nor __LINKEDIT).
  uint64_t* fixupSlot(uint64_t vmaddr) const;
  // The 32-bit value at `vmaddr` inside a mapped segment (an initialiser offset).
  uint32_t read32(uint64_t vmaddr) const;

  // Gives each segment its initial protection; a read-only data segment loses write access.
  void protect();
  // The mapping outlives this object: a loaded image is never unloaded.
  void keep() { kept_ = true; }

 private:
  const Segment* segmentAt(uint64_t vmaddr, uint64_t size) const;

  const Image& image_;
  uint8_t* base_ = nullptr;
  size_t size_ = 0;
  bool kept_ = false;
};

}  // namespace qv::macho
