// The phone's dylib and its variants, loaded by the host's Mach-O loader into an arm64 home
// screen under emulation: what dyld refuses is refused with dyld's message, the home screen boots
// without it, and nothing crashes; a variant with chained fixups loads and works.
#include <gtest/gtest.h>

#include "runtime/macho/macho_loader.h"
#include "runtime/system_images.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

std::string variant(const std::string& name) {
  if (name.rfind("Quorvel", 0) == 0) return std::string(QV_DEVICE_DIR) + "/" + name + ".dylib";
  return std::string(QV_DEVICE_DIR) + "/variants/" + name + ".dylib";
}

TEST(PhoneDylib, IsWhatTheScenarioTestsLoad) {
  EXPECT_EQ(chosenLibrary("the native library"), std::string(QV_DEVICE_DIR) + "/Quorvel.dylib");
}

// The universal dylib: each processor loads its own slice (the suite runs once per processor).
TEST_F(Scenario, TheDevicesProcessorLoadsItsSliceOfTheUniversalDylib) {
  device("14.2");
  app("com.example.mail");
  boot();
  std::vector<const macho::LoadedImage*> images = macho::loadedImages();
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0]->arm64e(), home().cpu() == "arm64e") << home().cpu();
  EXPECT_EQ(images[0]->image.minOS, home().cpu() == "arm64e" ? 0x000e0000u : 0x000c0000u);
}

struct Refusal {
  const char* name;  // a variant, or "Quorvel" (universal) or "Quorvel-arm64" of the build
  const char* os;
  const char* cpu;
  std::vector<std::string> says;  // "@" stands for the dylib's path
};

// The host's own items of each family's menu, which is all a home screen without the library
// shows.
std::vector<std::string> hostItems(const std::string& os) {
  if (os.rfind("12.", 0) == 0) return {"Share \u201cmail\u201d"};
  if (os.rfind("13.", 0) == 0) return {"Edit Home Screen", "Delete App", "Share App"};
  return {"Edit Home Screen", "Remove App", "Share App"};
}

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class RefusedDylib : public Scenario, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedDylib, IsRefusedWithDyldsMessageAndTheHomeScreenBootsWithoutIt) {
  const Refusal& r = GetParam();
  std::string path = variant(r.name);
  device(r.os);
  home().setCpu(r.cpu);
  app("com.example.mail", 3);
  home().boot(path);

  Json d = dump();
  ASSERT_TRUE(d.has("library") && d["library"].isBool());
  EXPECT_FALSE(d["library"].asBool());
  ASSERT_TRUE(d["libraryRefused"].isString());
  std::string refusal = d["libraryRefused"].asString();
  EXPECT_EQ(refusal.rfind("dlopen(" + path + "): ", 0), 0u) << refusal;
  for (std::string part : r.says) {
    if (size_t at = part.find('@'); at != std::string::npos) part.replace(at, 1, path);
    EXPECT_NE(refusal.find(part), std::string::npos) << "missing \"" << part << "\" in " << refusal;
  }
  ASSERT_FALSE(d["log"].items().empty());
  EXPECT_EQ(d["log"][0].asString(), "MS:Error: " + refusal);
  ASSERT_TRUE(d["hooks"].isArray());
  EXPECT_TRUE(d["hooks"].items().empty());
  EXPECT_TRUE(macho::loadedImages().empty()) << "a refused image stays mapped";

  // The host's own menu, and the badge the library would have left alone anyway.
  home().press("com.example.mail");
  Json menu = dump()["menu"];
  ASSERT_TRUE(menu["items"].isArray());
  std::vector<std::string> titles;
  for (const Json& item : menu["items"].items()) titles.push_back(item["title"].asString());
  EXPECT_EQ(titles, hostItems(r.os));
  EXPECT_EQ(dump()["apps"]["com.example.mail"]["badge"].asNumber(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RefusedDylib,
    ::testing::Values(
        Refusal{"truncated",
                "14.2",
                "arm64",
                {"truncated mach-o error: segment __TEXT extends to 81920 which is past end of "
                 "file 40000"}},
        Refusal{"x86_64",
                "14.2",
                "arm64",
                {"mach-o file, but is an incompatible architecture (have 'x86_64', need 'arm64')"}},
        Refusal{"ios14",
                "12.4",
                "arm64",
                {"mach-o file (@) was built for iOS 14.0 which is newer than running OS 12.4"}},
        Refusal{"altered",
                "14.2",
                "arm64",
                {"code signature invalid for '@': page 4 does not match its hash"}},
        Refusal{"missing-import",
                "13.5",
                "arm64",
                {"Symbol not found: _objc_setHook_lazyClassNamer\n  Referenced from: @\n"
                 "  Expected in: /usr/lib/libobjc.A.dylib"}},
        Refusal{"wrong-library",
                "12.4",
                "arm64",
                {"Symbol not found: _NSClassFromString\n  Referenced from: @\n  Expected in: "
                 "/System/Library/Frameworks/CoreFoundation.framework/CoreFoundation"}},
        // A phone from A12 on runs the home screen as arm64e: an arm64-only dylib never loads.
        Refusal{"Quorvel-arm64",
                "14.2",
                "arm64e",
                {"mach-o file, but is an incompatible architecture (have 'arm64', need 'arm64e')"}},
        // Its arm64e slice is for iOS 14 and later.
        Refusal{"Quorvel",
                "13.5",
                "arm64e",
                {"mach-o file (@) was built for iOS 14.0 which is newer than running OS 13.5"}}),
    [](const ::testing::TestParamInfo<Refusal>& info) {
      std::string name = info.param.name;
      for (char& c : name) {
        if (c == '-') c = '_';
      }
      return name;
    });

using LoadedVariant = Scenario;

// Linked for 14.0 with chained fixups: loads where the OS is new enough, and works.
TEST_F(LoadedVariant, ChainedFixupsLoadOnANewEnoughDeviceAndTheLibraryWorks) {
  device("14.2");
  home().setCpu("arm64");
  app("com.example.mail", 3);
  home().boot(variant("chained"));
  ASSERT_TRUE(home().libraryLoaded()) << home().libraryRefusal();
  std::vector<const macho::LoadedImage*> images = macho::loadedImages();
  ASSERT_EQ(images.size(), 1u);
  EXPECT_TRUE(images[0]->image.chainedFixups.has_value());
  EXPECT_FALSE(images[0]->image.dyldInfo.has_value());

  home().press("com.example.mail");
  home().pick("Clear Badge");
  Json mail = dump()["apps"]["com.example.mail"];
  ASSERT_TRUE(mail.has("badge"));
  EXPECT_TRUE(mail["badge"].isNull());
}

// The frameworks it links: a device without LocalAuthentication (a strong link) refuses the
// dylib as dyld does; one without InstallCoordination (weak) loads it, and only Offload App
// goes without.
TEST_F(LoadedVariant, AMissingStrongFrameworkRefusesTheDylibAMissingWeakOneDoesNot) {
  device("14.2");
  host::HostQuirks quirks;
  quirks.missingImages = {runtime::kLocalAuthentication};
  home().setQuirks(quirks);
  app("com.example.mail");
  home().setCpu(chosenCpu("14.2"));
  home().boot(chosenLibrary(QV_LIBRARY_PATH));
  EXPECT_FALSE(home().libraryLoaded());
  EXPECT_NE(home().libraryRefusal().find(std::string("Library not loaded: ") +
                                         runtime::kLocalAuthentication),
            std::string::npos)
      << home().libraryRefusal();
}

TEST_F(LoadedVariant, AMissingWeakFrameworkLeavesOnlyItsFeatureOut) {
  device("14.2");
  host::HostQuirks quirks;
  quirks.missingImages = {runtime::kInstallCoordination};
  home().setQuirks(quirks);
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  home().pick("Offload App");
  Json d = dump();
  EXPECT_FALSE(d["apps"]["com.example.mail"]["offloaded"].asBool());
  ASSERT_EQ(d["missingClasses"].size(), 1u);
  EXPECT_EQ(d["missingClasses"][0]["class"].asString(), "IXAppInstallCoordinator");
}

// The phone's own dylib binds its one variadic import, NSLog, to an entry that reads Apple's
// convention: the identifier it logs arrives as an argument on the stack.
TEST_F(LoadedVariant, NSLogArgumentsArriveAsApplesConventionPassesThem) {
  device("14.2");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  std::vector<std::string> log;
  for (const Json& line : dump()["log"].items()) log.push_back(line.asString());
  EXPECT_NE(std::find(log.begin(), log.end(), "com.example.mail"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Product:- com.apple.springboardhome.application-shortcut-item.remove-app"),
            log.end());
}

}  // namespace
}  // namespace qv::testing
