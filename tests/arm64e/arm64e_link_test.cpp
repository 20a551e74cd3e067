// The arm64e link step on a small library compiled by clang-22 for arm64e: what the compiler
// asked to authenticate comes out as authenticated chained fixups with its key, diversity and
// address diversity, everything else plain, under an arm64e header, signed again; and the
// step's own parts refuse what they cannot do.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "link_map.h"
#include "object_rewrite.h"
#include "runtime/macho/code_signature.h"
#include "runtime/macho/macho_format.h"
#include "runtime/macho/macho_image.h"
#include "runtime/macho/symbols.h"
#include "slice_rewrite.h"
#include "universal_check.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;
using namespace arm64e;

// Built for arm64e, and for arm64 (where nothing is signed) for the universal file.
constexpr const char* kSource = R"(
#if __has_feature(ptrauth_qualifier)
#define SIGNED(key, address, discriminator) __ptrauth(key, address, discriminator)
#else
#define SIGNED(key, address, discriminator)
#endif
extern "C" void external(void);
extern "C" void local(void) {}
extern "C" void (*const table[])(void) = {&local, &external};
struct Holder {
  void (*SIGNED(0, 1, 0x1234) signedHere)(void);
  void (*SIGNED(1, 0, 77) other)(void);
  const char* plain;
};
extern "C" const Holder holder = {&local, &local, "plain data"};
__attribute__((constructor)) static void start() { external(); }
)";

constexpr const char* kStub = R"(--- !tapi-tbd
tbd-version:     4
targets:         [ arm64-ios ]
install-name:    '/usr/lib/libexternal.dylib'
exports:
  - targets:     [ arm64-ios ]
    symbols:     [ _external, dyld_stub_binder ]
...
)";

std::vector<uint8_t> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

int run(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Arm64eLink : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quorvel-arm64e-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Compiles, prepares, links and finishes the source; the slice's bytes.
  std::vector<uint8_t> link(const std::string& source) {
    std::ofstream(dir_ / "lib.cpp") << source;
    std::ofstream(dir_ / "external.tbd") << kStub;
    EXPECT_EQ(run(std::string(QV_CLANG22) + " -target arm64e-apple-ios14.0 -O1 -c '" +
                  (dir_ / "lib.cpp").string() + "' -o '" + (dir_ / "lib.o").string() + "'"),
              0);
    RewrittenObject prepared = rewriteObject(readBytes(dir_ / "lib.o"));
    pointers_ = prepared.pointers;
    writeBytes(dir_ / "prepared.o", prepared.bytes);
    EXPECT_EQ(
        run(std::string(QV_LD64_22) +
            " -arch arm64 -dylib -platform_version ios 14.0 14.0 -install_name /test/lib.dylib"
            " -adhoc_codesign -fixup_chains -init_offsets -map '" +
            (dir_ / "map").string() + "' -o '" + (dir_ / "linked.dylib").string() + "' '" +
            (dir_ / "prepared.o").string() + "' '" + (dir_ / "external.tbd").string() + "'"),
        0);
    std::ifstream mapFile(dir_ / "map");
    LinkMap map =
        parseLinkMap({std::istreambuf_iterator<char>(mapFile), std::istreambuf_iterator<char>()});
    linked_ = readBytes(dir_ / "linked.dylib");
    return makeArm64eSlice(
        linked_, placePointers(map, {{(dir_ / "prepared.o").string(), pointers_}}), &report_);
  }

  fs::path dir_;
  std::vector<AuthenticatedPointer> pointers_;
  std::vector<uint8_t> linked_;
  SliceReport report_;
};

// The 64 bits of the fixup at `symbol` + `offset`.
uint64_t entryAt(const macho::Image& image, const std::string& symbol, uint64_t offset) {
  std::optional<uint64_t> at = macho::findSymbol(image, symbol);
  EXPECT_TRUE(at) << symbol;
  uint64_t vmaddr = image.baseAddress() + at.value_or(0) + offset;
  for (const macho::Segment& s : image.segments) {
    if (vmaddr >= s.vmaddr && vmaddr + 8 <= s.vmaddr + s.filesize) {
      uint64_t raw;
      std::memcpy(&raw, image.slice.data() + s.fileoff + (vmaddr - s.vmaddr), 8);
      return raw;
    }
  }
  ADD_FAILURE() << symbol << " is not in the file";
  return 0;
}

uint64_t bits(uint64_t v, unsigned from, unsigned count) {
  return (v >> from) & ((1ull << count) - 1);
}

TEST_F(Arm64eLink, WhatTheCompilerSignsBecomesAuthenticatedFixupsAndTheRestStaysPlain) {
  std::vector<uint8_t> slice = link(kSource);
  macho::Cpu arm64e{macho::kCpuTypeArm64, macho::kCpuSubtypeArm64E | macho::kCpuSubtypePtrauthAbi};
  macho::Image image = macho::parseImage(slice, arm64e, "slice");
  EXPECT_EQ(image.cpu.subtype, 0x80000002u);
  EXPECT_EQ(image.minOS, 0x000e0000u);
  EXPECT_NO_THROW(macho::verifyCodeSignature(image, "slice"));

  // Each recorded pointer: the compiler's key, diversity and address diversity.
  struct Expected {
    const char* symbol;
    uint64_t offset;
    bool bind;
    uint64_t key, diversity, addressDiversity;
  };
  for (const Expected& e :
       {Expected{"_table", 0, false, 0, 0, 0}, Expected{"_table", 8, true, 0, 0, 0},
        Expected{"_holder", 0, false, 0, 0x1234, 1}, Expected{"_holder", 8, false, 1, 77, 0}}) {
    uint64_t raw = entryAt(image, e.symbol, e.offset);
    EXPECT_EQ(bits(raw, 63, 1), 1u) << e.symbol << "+" << e.offset << " is not authenticated";
    EXPECT_EQ(bits(raw, 62, 1), e.bind) << e.symbol << "+" << e.offset;
    EXPECT_EQ(bits(raw, 49, 2), e.key) << e.symbol << "+" << e.offset;
    EXPECT_EQ(bits(raw, 32, 16), e.diversity) << e.symbol << "+" << e.offset;
    EXPECT_EQ(bits(raw, 48, 1), e.addressDiversity) << e.symbol << "+" << e.offset;
  }
  // A signed rebase targets what the plain one did: `local`, an offset from the header.
  EXPECT_EQ(bits(entryAt(image, "_table", 0), 0, 32), macho::findSymbol(image, "_local").value());
  // The string's pointer nobody asked to sign stays a plain rebase.
  EXPECT_EQ(bits(entryAt(image, "_holder", 16), 62, 2), 0u);
  EXPECT_EQ(report_.authenticatedRebases, 3u);
  EXPECT_EQ(report_.authenticatedBinds, 1u);
  EXPECT_EQ(pointers_.size(), 4u);

  // The initialiser is an offset dyld turns into a call itself.
  bool initOffsets = false, modInit = false;
  for (const auto& s : image.segments) {
    for (const auto& sect : s.sections) {
      initOffsets |= sect.type() == macho::kSectionInitFuncOffsets;
      modInit |= sect.type() == macho::kSectionModInitFuncPointers;
    }
  }
  EXPECT_TRUE(initOffsets);
  EXPECT_FALSE(modInit);
}

TEST_F(Arm64eLink, TheUniversalCheckHoldsTheSliceAndFailsWithoutIt) {
  std::vector<uint8_t> slice = link(kSource);
  writeBytes(dir_ / "arm64e.dylib", slice);
  // A plain arm64 slice for iOS 12 beside it.
  ASSERT_EQ(run(std::string(QV_CLANG22) + " -target arm64-apple-ios12.0 -c '" +
                (dir_ / "lib.cpp").string() + "' -o '" + (dir_ / "arm64.o").string() + "' && " +
                QV_LD64_22 +
                " -arch arm64 -dylib -platform_version ios 12.0 14.0 -install_name /test/lib.dylib"
                " -adhoc_codesign -o '" +
                (dir_ / "arm64.dylib").string() + "' '" + (dir_ / "arm64.o").string() + "' '" +
                (dir_ / "external.tbd").string() + "' && " + QV_LIPO + " -create '" +
                (dir_ / "arm64.dylib").string() + "' '" + (dir_ / "arm64e.dylib").string() +
                "' -output '" + (dir_ / "fat.dylib").string() + "'"),
            0);
  UniversalReport good = checkUniversal(readBytes(dir_ / "fat.dylib"));
  EXPECT_TRUE(good.failures.empty()) << good.failures.front();
  EXPECT_FALSE(checkUniversal(readBytes(dir_ / "arm64.dylib")).failures.empty());
}

TEST(Arm64eParts, AnObjectThatIsNotArm64IsRefused) {
  std::vector<uint8_t> junk(64, 0x5a);
  EXPECT_THROW(rewriteObject(junk), ToolError);
}

TEST(Arm64eParts, RecordsSurviveTheirTextForm) {
  std::vector<AuthenticatedPointer> records = {{"_a", 8, {0, 0x1234, true}},
                                               {"__ZN1b1cE", 0, {3, 0, false}}};
  std::vector<AuthenticatedPointer> back = parsePointers(formatPointers(records));
  ASSERT_EQ(back.size(), 2u);
  for (size_t i = 0; i < 2; i++) {
    EXPECT_EQ(back[i].symbol, records[i].symbol);
    EXPECT_EQ(back[i].offset, records[i].offset);
    EXPECT_TRUE(back[i].schema == records[i].schema);
  }
  EXPECT_THROW(parsePointers("8 4 0 0 _a\n"), ToolError) << "no key 4";
}

// A weak definition two objects share is placed once, from the object the linker kept; two
// schemas for one place are an error, not a guess.
TEST(Arm64eParts, PlacingFollowsTheObjectTheLinkerKept) {
  LinkMap map = parseLinkMap(
      "# Path: x\n# Object files:\n[  0] linker synthesized\n[  1] a.o\n[  2] b.o\n"
      "# Sections:\n# Address\tSize\tSegment\tSection\n0x4000\t0x10\t__DATA_CONST\t__const\n"
      "# Symbols:\n# Address\tSize\tFile  Name\n0x00004000\t0x00000010\t[  2] _shared\n"
      "0x00004010\t0x00000002\t[  1] literal string: a b\n");
  EXPECT_EQ(map.address(2, "_shared"), 0x4000u);
  EXPECT_EQ(map.address(1, "literal string: a b"), 0x4010u);
  PointerSchema ia{0, 0, false}, db{3, 9, true};
  auto placed = placePointers(map, {{"a.o", {{"_shared", 8, ia}}}, {"b.o", {{"_shared", 8, ia}}}});
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(placed.begin()->first, 0x4008u);
  map.symbols[{1, "_shared"}] = 0x4000;
  EXPECT_THROW(placePointers(map, {{"a.o", {{"_shared", 8, ia}}}, {"b.o", {{"_shared", 8, db}}}}),
               ToolError);
}

}  // namespace
}  // namespace qv::testing
