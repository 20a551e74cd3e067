// The Mach-O loader on dylibs written by hand for this processor: fixups of both encodings,
// authenticated ones signed with the process's keys, binds from the table of system
// libraries, initialisers, symbol lookup, and dyld's refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/macho_loader.h"
#include "runtime/macho/pointer_auth.h"
#include "support/macho_builder.h"

namespace qv::testing {
namespace {

using macho::PointerKey;

std::vector<std::string> calls;
long hostValue = 7;
extern "C" void qvTestFirst() { calls.push_back("first"); }
extern "C" void qvTestSecond() { calls.push_back("second"); }
extern "C" int qvTestPrintf(const char*, ...) { return 0; }

const macho::SystemLibraries& testLibraries() {
  static const macho::SystemLibraries* table = [] {
    auto* t = new macho::SystemLibraries();
    t->add({"/usr/lib/libtest.dylib",
            "/usr/lib/libtest.dylib",
            {{"_first", {reinterpret_cast<const void*>(&qvTestFirst)}},
             {"_second", {reinterpret_cast<const void*>(&qvTestSecond)}},
             {"_value", {&hostValue}},
             {"_printf", {reinterpret_cast<const void*>(&qvTestPrintf), true, nullptr}}}});
    t->add({"@rpath/Sub.framework/Sub", "/opt/two/Sub.framework/Sub", {{"_sub", {&hostValue}}}});
    return t;
  }();
  return *table;
}

constexpr uint32_t kDevice = 0x000e0200;  // 14.2

macho::Cpu otherCpu() {
  return macho::processCpu().type == macho::kCpuTypeArm64 ? macho::Cpu{macho::kCpuTypeX86_64, 3}
                                                          : macho::Cpu{macho::kCpuTypeArm64, 0};
}

struct Load {
  const macho::LoadedImage* image = nullptr;
  std::string error;
  std::string path;
  uint64_t slot(size_t i) const {
    uint64_t v;
    std::memcpy(&v, image->mapping->base() + slotAddress(i), 8);
    return v;
  }
  uint64_t base() const { return reinterpret_cast<uint64_t>(image->mapping->base()); }
};

Load load(const std::vector<uint8_t>& bytes) {
  Load out;
  char name[] = "/tmp/quorvel-macho-XXXXXX";
  int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fd);
  out.path = name;
  try {
    out.image = &macho::loadImage(name, {macho::processCpu(), kDevice, &testLibraries()});
  } catch (const macho::LoadError& e) {
    out.error = e.message;
  }
  unlink(name);
  return out;
}

DylibLayout withTestLibrary() {
  DylibLayout layout;
  layout.dylibs = {{"/usr/lib/libtest.dylib"}};
  return layout;
}

uint64_t address(const void* p) { return reinterpret_cast<uint64_t>(p); }

TEST(MachOLoader, OpcodeFixupsRebaseBindAndResolveLazyBindsAtLoad) {
  DylibLayout layout = withTestLibrary();
  layout.data = {kCodeAddress + 0x20};
  layout.rebases = {0};
  layout.binds = {{1, 1, "_value", false, 16},
                  {2, 1, "_first", false, 0, true},
                  {3, 1, "_absent", true},
                  {4, 1, "_second"}};
  Load l = load(buildMachO(layout));
  ASSERT_TRUE(l.image) << l.error;
  EXPECT_EQ(l.slot(0), l.base() + kCodeAddress + 0x20);
  EXPECT_EQ(l.slot(1), address(&hostValue) + 16);
  EXPECT_EQ(l.slot(2), address(reinterpret_cast<const void*>(&qvTestFirst)));
  EXPECT_EQ(l.slot(3), 0u) << "a missing weak import binds to null";
  EXPECT_EQ(l.slot(4), address(reinterpret_cast<const void*>(&qvTestSecond)));
}

// Two initialisers, each jumping to a host function through a bound slot; listed second-first,
// they run in the order of the section, not of their code.
TEST(MachOLoader, InitialisersRunInTheirSectionsOrder) {
  DylibLayout layout = withTestLibrary();
  layout.code = jumpThroughSlot(layout.cpu, kCodeAddress, slotAddress(2));
  layout.code.resize(16, 0);
  std::vector<uint8_t> second = jumpThroughSlot(layout.cpu, kCodeAddress + 16, slotAddress(3));
  layout.code.insert(layout.code.end(), second.begin(), second.end());
  layout.initialisers = 2;
  layout.data = {kCodeAddress + 16, kCodeAddress};
  layout.rebases = {0, 1};
  layout.binds = {{2, 1, "_first"}, {3, 1, "_second"}};
  calls.clear();
  Load l = load(buildMachO(layout));
  ASSERT_TRUE(l.image) << l.error;
  EXPECT_EQ(calls, (std::vector<std::string>{"second", "first"}));
}

TEST(MachOLoader, ExportsComeFromTheTrieAndHiddenSymbolsFromTheSymbolTable) {
  DylibLayout layout;
  layout.exports = {{"_defaults", slotAddress(5)}, {"_bundleID", slotAddress(6)}};
  layout.hiddenSymbols = {{"_quorvelReadState", kCodeAddress}};
  Load l = load(buildMachO(layout));
  ASSERT_TRUE(l.image) << l.error;
  EXPECT_EQ(address(l.image->exported("defaults")), l.base() + slotAddress(5));
  EXPECT_EQ(address(l.image->exported("bundleID")), l.base() + slotAddress(6));
  EXPECT_EQ(l.image->exported("bundle"), nullptr);
  EXPECT_EQ(l.image->exported("quorvelReadState"), nullptr) << "hidden, not exported";
  EXPECT_EQ(address(l.image->symbol("quorvelReadState")), l.base() + kCodeAddress);
}

TEST(MachOLoader, AnRpathLibraryIsFoundThroughTheRpathThatHoldsIt) {
  DylibLayout layout;
  layout.dylibs = {{"@rpath/Sub.framework/Sub"}};
  layout.rpaths = {"/opt/one", "/opt/two"};
  layout.binds = {{0, 1, "_sub"}};
  Load l = load(buildMachO(layout));
  ASSERT_TRUE(l.image) << l.error;
  EXPECT_EQ(l.slot(0), address(&hostValue));

  layout.rpaths = {"/opt/one"};
  Load refused = load(buildMachO(layout));
  EXPECT_EQ(refused.error,
            "Library not loaded: @rpath/Sub.framework/Sub\n  Referenced from: " + refused.path +
                "\n  Reason: tried: '/opt/one/Sub.framework/Sub' (no such file)");
}

TEST(MachOLoader, AWeaklyLinkedLibraryThatIsMissingBindsItsImportsToNull) {
  DylibLayout layout;
  layout.dylibs = {{"/usr/lib/libtest.dylib"}, {"/usr/lib/libmissing.dylib", true}};
  layout.binds = {{0, 2, "_anything"}, {1, 1, "_value"}};
  Load l = load(buildMachO(layout));
  ASSERT_TRUE(l.image) << l.error;
  EXPECT_EQ(l.slot(0), 0u);
  EXPECT_EQ(l.slot(1), address(&hostValue));
}

TEST(MachOLoader, AFatFileLoadsTheSliceOfThisProcessor) {
  DylibLayout mine, other;
  mine.exports = {{"_mine", slotAddress(0)}};
  other.cpu = otherCpu();
  Load l = load(fatFile({{other.cpu, buildMachO(other)}, {mine.cpu, buildMachO(mine)}}));
  ASSERT_TRUE(l.image) << l.error;
  EXPECT_NE(l.image->exported("mine"), nullptr);

  Load refused = load(fatFile({{other.cpu, buildMachO(other)}}));
  EXPECT_EQ(refused.error, "fat file, but missing compatible architecture (have '" +
                               macho::cpuName(other.cpu) + "', need '" +
                               macho::cpuName(macho::processCpu()) + "')");
}

// Every chained format, plain entries: a rebase keeps its high byte, a bind adds its inline
// addend and the import's, a missing weak import stays null.
class ChainedFormat : public ::testing::TestWithParam<uint16_t> {};

TEST_P(ChainedFormat, RebasesAndBindsResolveAsDyldResolvesThem) {
  uint16_t format = GetParam();
  bool arm64e = format != macho::kChainedPtr64 && format != macho::kChainedPtr64Offset;
  DylibLayout layout = withTestLibrary();
  layout.chainedFormat = format;
  layout.importsFormat = macho::kChainedImportAddend;
  layout.imports = {{1, "_value", false, 4}, {1, "_absent", true}};
  layout.data = {arm64e ? arm64eRebase(kCodeAddress, 0x5a) : chainedRebase(kCodeAddress, 0x5a), 0,
                 arm64e ? arm64eBind(0, -8) : chainedBind(0, 16),
                 arm64e ? arm64eBind(1, 0) : chainedBind(1)};
  layout.chain = {0, 2, 3};
  Load l = load(buildMachO(layout));
  ASSERT_TRUE(l.image) << l.error;
  EXPECT_EQ(l.slot(0), (l.base() + kCodeAddress) | (uint64_t{0x5a} << 56));
  EXPECT_EQ(l.slot(1), 0u) << "outside the chain";
  EXPECT_EQ(l.slot(2), address(&hostValue) + 4 + (arm64e ? -8 : 16));
  EXPECT_EQ(l.slot(3), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, ChainedFormat,
                         ::testing::Values(macho::kChainedPtr64, macho::kChainedPtr64Offset,
                                           macho::kChainedPtrArm64E,
                                           macho::kChainedPtrArm64EUserland,
                                           macho::kChainedPtrArm64EUserland24));

// Authenticated entries of a hand-made chain, signed at load with this process's keys as dyld
// signs them: a signed pointer authenticates with its key and discriminator (the storage
// address blended in when address-diversified); a process without pointer authentication
// refuses them.
class AuthenticatedChain : public ::testing::TestWithParam<uint16_t> {};

TEST_P(AuthenticatedChain, EntriesAreSignedWithTheirKeyAndDiscriminator) {
  DylibLayout layout = withTestLibrary();
  layout.chainedFormat = GetParam();
  layout.imports = {{1, "_first"}, {1, "_value"}, {1, "_absent", true}};
  layout.data = {arm64eAuthRebase(kCodeAddress, 0x1234, true, PointerKey::IA),
                 arm64eAuthRebase(0x40, 0, false, PointerKey::DB),
                 arm64eAuthBind(0, 0x6ae1, true, PointerKey::IB),
                 arm64eAuthBind(1, 0, false, PointerKey::DA),
                 arm64eAuthBind(2, 7, false, PointerKey::IA)};
  layout.chain = {0, 1, 2, 3, 4};
  Load l = load(buildMachO(layout));
  if (!macho::pointerAuthenticationAvailable()) {
    EXPECT_EQ(l.error, "an authenticated fixup, but this process has no pointer authentication");
    return;
  }
  ASSERT_TRUE(l.image) << l.error;
  auto at = [&](size_t slot) { return l.base() + slotAddress(slot); };
  struct Expected {
    uint64_t target;
    PointerKey key;
    uint64_t discriminator;
  };
  const Expected expected[] = {
      {l.base() + kCodeAddress, PointerKey::IA, macho::blendDiscriminator(at(0), 0x1234)},
      {l.base() + 0x40, PointerKey::DB, 0},
      {address(reinterpret_cast<const void*>(&qvTestFirst)), PointerKey::IB,
       macho::blendDiscriminator(at(2), 0x6ae1)},
      {address(&hostValue), PointerKey::DA, 0}};
  for (size_t i = 0; i < 4; i++) {
    const Expected& e = expected[i];
    EXPECT_EQ(l.slot(i), macho::signPointer(e.target, e.key, e.discriminator)) << "slot " << i;
    EXPECT_EQ(macho::authenticatePointer(l.slot(i), e.key, e.discriminator), e.target)
        << "slot " << i;
    // A signature has few bits (seven, with a top byte left to tags), so another discriminator
    // may sign alike by chance; eight others all doing so would take a chance of 2^-56.
    int alike = 0;
    for (uint64_t other = 1; other <= 8; other++) {
      alike += l.slot(i) == macho::signPointer(e.target, e.key, e.discriminator ^ other);
    }
    EXPECT_LT(alike, 8) << "slot " << i << " is signed alike whatever the discriminator";
  }
  EXPECT_EQ(l.slot(4), 0u) << "a missing weak import stays null, unsigned";
}

INSTANTIATE_TEST_SUITE_P(Formats, AuthenticatedChain,
                         ::testing::Values(macho::kChainedPtrArm64E,
                                           macho::kChainedPtrArm64EUserland24));

// What dyld (or the kernel) refuses, each with its message; nothing of the image stays.
struct Refusal {
  const char* what;
  std::function<std::vector<uint8_t>()> file;
  std::string says;  // "@" stands for the file's path
};

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.what; }

std::vector<uint8_t> edited(std::function<void(DylibLayout&)> edit) {
  DylibLayout layout = withTestLibrary();
  edit(layout);
  return buildMachO(layout);
}

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, WithItsMessageAndNothingKept) {
  Load l = load(GetParam().file());
  std::string says = GetParam().says;
  if (size_t at = says.find('@'); at != std::string::npos) says.replace(at, 1, l.path);
  EXPECT_EQ(l.image, nullptr);
  EXPECT_NE(l.error.find(says), std::string::npos) << l.error;
  EXPECT_TRUE(macho::loadedImages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Dyld, Refused,
    ::testing::Values(
        Refusal{"another processor",
                [] { return edited([](DylibLayout& s) { s.cpu = otherCpu(); }); },
                "mach-o file, but is an incompatible architecture (have '"},
        Refusal{"not a dylib", [] { return edited([](DylibLayout& s) { s.filetype = 2; }); },
                "mach-o file, but is not a dylib"},
        Refusal{"flat namespace", [] { return edited([](DylibLayout& s) { s.flags = 0x4; }); },
                "not built with two-level namespace"},
        Refusal{"another platform", [] { return edited([](DylibLayout& s) { s.platform = 1; }); },
                "but incompatible platform (have '1', need 'iOS')"},
        Refusal{"a newer OS", [] { return edited([](DylibLayout& s) { s.minOS = 0x000f0000; }); },
                "mach-o file (@) was built for iOS 15.0 which is newer than running OS 14.2"},
        Refusal{"unsigned", [] { return edited([](DylibLayout& s) { s.sign = false; }); },
                "code signature invalid for '@': the image is not signed"},
        Refusal{"a page changed after signing",
                [] {
                  std::vector<uint8_t> f = buildMachO(withTestLibrary());
                  f[kCodeAddress + 3] ^= 1;
                  return f;
                },
                "code signature invalid for '@': page 1 does not match its hash"},
        Refusal{"a missing import",
                [] { return edited([](DylibLayout& s) {
                       s.binds = {{0, 1, "_absent"}};
                     }); },
                "Symbol not found: _absent\n  Referenced from: @\n  Expected in: "
                "/usr/lib/libtest.dylib"},
        Refusal{
            "a missing library",
            [] { return edited([](DylibLayout& s) { s.dylibs = {{"/usr/lib/libnone.dylib"}}; }); },
            "Library not loaded: /usr/lib/libnone.dylib\n  Referenced from: @"},
        Refusal{
            "a variadic import without Apple's entry",
            [] { return edited([](DylibLayout& s) {
                   s.binds = {{0, 1, "_printf"}};
                 }); },
            "Symbol not bound: _printf is variadic, and the host has no entry for Apple's arm64 "
            "calling convention"},
        Refusal{"truncated",
                [] {
                  std::vector<uint8_t> f = buildMachO(withTestLibrary());
                  f.resize(0x5000);
                  return f;
                },
                "truncated mach-o error: segment __DATA extends to 32768 which is past end of file "
                "20480"},
        Refusal{"a fixup in __LINKEDIT",
                [] { return edited([](DylibLayout& s) { s.rebases = {0x900}; }); },
                "a fixup lies in segment __LINKEDIT, which is not writable"},
        Refusal{"not Mach-O", [] { return std::vector<uint8_t>(64, 0x41); }, "not a mach-o file"}),
    [](const ::testing::TestParamInfo<Refusal>& info) {
      std::string name;
      for (const char* c = info.param.what; *c; c++)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

// Every prefix of a good dylib is refused, never read past its end (AddressSanitizer watches).
TEST(MachOLoader, EveryTruncationIsRefused) {
  DylibLayout layout = withTestLibrary();
  layout.chainedFormat = macho::kChainedPtr64;
  layout.imports = {{1, "_value"}};
  layout.data = {chainedBind(0)};
  layout.chain = {0};
  layout.exports = {{"_defaults", slotAddress(0)}};
  std::vector<uint8_t> file = buildMachO(layout);
  ASSERT_TRUE(load(file).image);
  for (size_t size = 0; size < file.size(); size += 61) {
    std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<long>(size));
    EXPECT_FALSE(load(cut).error.empty()) << size;
  }
}

}  // namespace
}  // namespace qv::testing
