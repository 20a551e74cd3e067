#include "runtime/macho/image_mapping.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/macho_format.h"

namespace qv::macho {

namespace {

// No image we load comes near this; a larger one is a damaged or hostile file.
constexpr uint64_t kLargestImage = uint64_t{1} << 30;

// A size rounded up to whole pages of this host: a segment's last page is all its own.
uint64_t pages(uint64_t size) {
  uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  return (size + page - 1) / page * page;
}

int protection(uint32_t vmProt) {
  int p = PROT_NONE;
  if (vmProt & kProtRead) p |= PROT_READ;
  if (vmProt & kProtWrite) p |= PROT_WRITE;
  if (vmProt & kProtExecute) p |= PROT_EXEC;
  return p;
}

}  // namespace

ImageMapping::ImageMapping(const Image& image) : image_(image) {
  uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  uint64_t low = image.baseAddress(), high = low;
  std::vector<const Segment*> mapped;
  for (const Segment& s : image.segments) {
    if (s.vmsize == 0) continue;
    if (s.vmaddr % page != 0)
      refuse("malformed mach-o image: segment " + s.name + " is not page aligned");
    if (s.vmaddr < low) refuse("malformed mach-o image: segment " + s.name + " lies below __TEXT");
    high = std::max(high, s.vmaddr + pages(s.vmsize));
    mapped.push_back(&s);
  }
  if (high - low > kLargestImage) refuse("malformed mach-o image: the segments span too much");
  std::sort(mapped.begin(), mapped.end(),
            [](const Segment* a, const Segment* b) { return a->vmaddr < b->vmaddr; });
  for (size_t i = 1; i < mapped.size(); i++) {
    if (mapped[i]->vmaddr < mapped[i - 1]->vmaddr + pages(mapped[i - 1]->vmsize)) {
      refuse("malformed mach-o image: segment " + mapped[i]->name + " overlaps " +
             mapped[i - 1]->name);
    }
  }
  size_ = high - low;
  void* memory = mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) refuse(std::string("cannot map the image: ") + std::strerror(errno));
  base_ = static_cast<uint8_t*>(memory);
  ByteReader file(image.slice);
  for (const Segment* s : mapped) {
    uint8_t* at = base_ + (s->vmaddr - low);
    if (mprotect(at, pages(s->vmsize), PROT_READ | PROT_WRITE) != 0) {
      refuse(std::string("cannot map segment ") + s->name + ": " + std::strerror(errno));
    }
    auto content = file.range(s->fileoff, s->filesize, "a segment's content");
    std::memcpy(at, content.data(), content.size());  // the rest stays zero, as zero-fill
  }
}

ImageMapping::~ImageMapping() {
  if (!kept_ && base_) munmap(base_, size_);
}

const Segment* ImageMapping::segmentAt(uint64_t vmaddr, uint64_t size) const {
  for (const Segment& s : image_.segments) {
    if (vmaddr >= s.vmaddr && size <= s.vmsize && vmaddr - s.vmaddr <= s.vmsize - size) return &s;
  }
  return nullptr;
}

uint64_t* ImageMapping::fixupSlot(uint64_t vmaddr) const {
  const Segment* s = segmentAt(vmaddr, 8);
  if (!s) refuse("malformed mach-o image: a fixup lies outside every segment");
  if (!(s->initprot & kProtWrite) && !(s->flags & kSegReadOnly)) {
    refuse("malformed mach-o image: a fixup lies in segment " + s->name +
           ", which is not writable");
  }
  if (vmaddr % 4 != 0) refuse("malformed mach-o image: a fixup is misaligned");
  return reinterpret_cast<uint64_t*>(base_ + (vmaddr - image_.baseAddress()));
}

uint32_t ImageMapping::read32(uint64_t vmaddr) const {
  if (!segmentAt(vmaddr, 4)) refuse("malformed mach-o image: an offset lies outside every segment");
  uint32_t value;
  std::memcpy(&value, base_ + (vmaddr - image_.baseAddress()), 4);
  return value;
}

void ImageMapping::protect() {
  for (const Segment& s : image_.segments) {
    if (s.vmsize == 0) continue;
    uint32_t prot = s.initprot;
    if (s.flags & kSegReadOnly) prot &= ~kProtWrite;
    if (mprotect(base_ + (s.vmaddr - image_.baseAddress()), pages(s.vmsize), protection(prot)) !=
        0) {
      refuse(std::string("cannot protect segment ") + s.name + ": " + std::strerror(errno));
    }
  }
}

}  // namespace qv::macho
