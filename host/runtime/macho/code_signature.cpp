#include "runtime/macho/code_signature.h"

#include <openssl/sha.h>

#include <algorithm>
#include <cstring>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/macho_format.h"

namespace qv::macho {

void sha256(std::span<const uint8_t> bytes, uint8_t out[32]) {
  SHA256(bytes.data(), bytes.size(), out);
}

namespace {

[[noreturn]] void invalid(const std::string& path, const std::string& why) {
  refuse("code signature invalid for '" + path + "': " + why);
}

}  // namespace

void verifyCodeSignature(const Image& image, const std::string& path) {
  if (!image.codeSignature) invalid(path, "the image is not signed");
  ByteReader file(image.slice);
  ByteReader blob(
      file.range(image.codeSignature->offset, image.codeSignature->size, "code signature"));
  if (bigEndian(blob.read<uint32_t>(0, "signature")) != kCsMagicEmbeddedSignature) {
    invalid(path, "not an embedded signature");
  }
  uint32_t count = bigEndian(blob.read<uint32_t>(8, "signature"));
  if (count > 64) invalid(path, "too many blobs");
  std::optional<uint32_t> directory;
  for (uint32_t i = 0; i < count; i++) {
    auto index = blob.read<CsBlobIndex>(12 + i * sizeof(CsBlobIndex), "signature index");
    if (bigEndian(index.type) == kCsSlotCodeDirectory) directory = bigEndian(index.offset);
  }
  if (!directory) invalid(path, "no code directory");
  auto cd = blob.read<CsCodeDirectory>(*directory, "code directory");
  if (bigEndian(cd.magic) != kCsMagicCodeDirectory) invalid(path, "bad code directory");
  uint32_t length = bigEndian(cd.length);
  ByteReader dir(blob.range(*directory, length, "code directory"));
  if (cd.hashType != kCsHashTypeSha256 || cd.hashSize != 32) invalid(path, "unsupported hash type");
  if (cd.pageSize < 12 || cd.pageSize > 16) invalid(path, "unsupported page size");
  uint64_t pageSize = uint64_t{1} << cd.pageSize;
  uint64_t codeLimit = bigEndian(cd.codeLimit);
  uint32_t slots = bigEndian(cd.nCodeSlots);
  uint32_t hashOffset = bigEndian(cd.hashOffset);
  if (codeLimit > image.slice.size() || slots != (codeLimit + pageSize - 1) / pageSize) {
    invalid(path, "the code directory does not describe this file");
  }
  // Every mapped byte before the signature itself is covered.
  for (const Segment& s : image.segments) {
    uint64_t end = std::min<uint64_t>(s.fileoff + s.filesize, image.codeSignature->offset);
    if (s.filesize && end > codeLimit) invalid(path, "segment " + s.name + " is not covered");
  }
  for (uint32_t page = 0; page < slots; page++) {
    uint64_t start = page * pageSize;
    uint64_t size = std::min(pageSize, codeLimit - start);
    uint8_t actual[32];
    sha256(file.range(start, size, "signed page"), actual);
    auto expected = dir.range(hashOffset + uint64_t{page} * 32, 32, "page hash");
    if (std::memcmp(actual, expected.data(), 32) != 0) {
      invalid(path, "page " + std::to_string(page) + " does not match its hash");
    }
  }
}

namespace {

constexpr uint32_t kPageShift = 12;
constexpr uint32_t kDirectoryHeader = 88;      // a version 0x20400 code directory's fixed part
constexpr uint32_t kSuperBlobHeader = 12 + 8;  // with one index entry

uint32_t pageCount(uint64_t codeLimit) {
  return static_cast<uint32_t>((codeLimit + (1u << kPageShift) - 1) >> kPageShift);
}

void putBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
void putBig64(std::vector<uint8_t>& out, uint64_t v) {
  putBig32(out, static_cast<uint32_t>(v >> 32));
  putBig32(out, static_cast<uint32_t>(v));
}

}  // namespace

size_t adHocSignatureSize(uint64_t codeLimit, const std::string& identifier) {
  return kSuperBlobHeader + kDirectoryHeader + identifier.size() + 1 + 32u * pageCount(codeLimit);
}

std::vector<uint8_t> adHocSignature(std::span<const uint8_t> file, uint64_t codeLimit,
                                    const std::string& identifier, uint64_t executableLimit) {
  uint32_t pages = pageCount(codeLimit);
  uint32_t hashOffset = kDirectoryHeader + static_cast<uint32_t>(identifier.size()) + 1;
  uint32_t directoryLength = hashOffset + 32 * pages;
  std::vector<uint8_t> out;
  putBig32(out, kCsMagicEmbeddedSignature);
  putBig32(out, kSuperBlobHeader + directoryLength);
  putBig32(out, 1);
  putBig32(out, kCsSlotCodeDirectory);
  putBig32(out, kSuperBlobHeader);
  putBig32(out, kCsMagicCodeDirectory);
  putBig32(out, directoryLength);
  putBig32(out, 0x20400);  // version: with the executable segment's bounds
  putBig32(out, 0x2);      // flags: ad hoc
  putBig32(out, hashOffset);
  putBig32(out, kDirectoryHeader);  // the identifier follows the fixed part
  putBig32(out, 0);                 // no special slots
  putBig32(out, pages);
  putBig32(out, codeLimit > 0xffffffffu ? 0 : static_cast<uint32_t>(codeLimit));
  out.insert(out.end(), {32, kCsHashTypeSha256, 0, kPageShift});
  putBig32(out, 0);  // spare
  putBig32(out, 0);  // scatter
  putBig32(out, 0);  // team
  putBig32(out, 0);  // spare
  putBig64(out, codeLimit > 0xffffffffu ? codeLimit : 0);
  putBig64(out, 0);  // the executable segment starts the file
  putBig64(out, executableLimit);
  putBig64(out, 0);  // a library, not the main executable
  out.insert(out.end(), identifier.begin(), identifier.end());
  out.push_back(0);
  for (uint32_t page = 0; page < pages; page++) {
    uint64_t start = uint64_t{page} << kPageShift;
    uint64_t size = std::min<uint64_t>(uint64_t{1} << kPageShift, codeLimit - start);
    uint8_t hash[32];
    sha256(file.subspan(start, size), hash);
    out.insert(out.end(), hash, hash + 32);
  }
  return out;
}

}  // namespace qv::macho
