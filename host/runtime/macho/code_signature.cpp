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

}  // namespace qv::macho
