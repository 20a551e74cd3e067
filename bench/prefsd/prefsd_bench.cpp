// CFPreferences through the preferences daemon: the read the library's settings reload makes,
// and the write of a 1,000-entry app list, beside writing the same domain straight to its file
// in this process (what the write cost before a daemon owned the domain).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "foundation/values.h"
#include "runtime/object_refs.h"

namespace {

using namespace qv;

constexpr const char* kDomain = "com.vantrelo88.quorvel";

const char* const kSwitches[] = {
    "uninstall",        "clearBadges",    "clearCaches",   "copyBundleId",      "appLock",
    "notifications",    "banners",        "demoteApp",     "hideBadges",        "hideWidget",
    "hideLines",        "hideThickLines", "hideShare",     "hideEdit",          "hideDelete",
    "hideWidgetLabels", "useStaticColor", "adaptiveColor", "adaptiveWallColor", "pureColor"};

id appList(int count) {
  std::vector<id> items;
  for (int i = 0; i < count; i++)
    items.push_back(host::makeString("com.example.app" + std::to_string(i)));
  return host::makeArray(items);
}

// Where a device root lives: on the disk, whose sync makes most of a write's time, or in
// memory, where what is left is the work around it.
enum Storage { kDisk = 0, kMemory = 1 };

// A device root whose settings domain holds every setting and `locked` locked apps.
struct Device {
  std::string root;
  explicit Device(int locked, int64_t storage = kDisk) {
    std::string tmpl =
        storage == kMemory ? "/dev/shm/quorvel-bench-XXXXXX" : "/tmp/quorvel-bench-XXXXXX";
    root = mkdtemp(tmpl.data());
    host::registerFoundation();
    host::setDeviceRoot(root);
    std::filesystem::create_directories(host::realPath("/var/jb/vmo/Library/Preferences"));
    AutoreleasePool pool;
    std::vector<std::pair<id, id>> entries;
    for (const char* key : kSwitches)
      entries.emplace_back(host::makeString(key), host::makeBool(true));
    entries.emplace_back(host::makeString("menuColorAlpha"), host::makeDouble(0.6));
    entries.emplace_back(host::makeString("lockedApps"), appList(locked));
    entries.emplace_back(host::makeString("disableBanners"), appList(3));
    host::writePropertyListFile(host::preferencesFilePath(kDomain), host::makeDictionary(entries),
                                true);
  }
  ~Device() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

// The settings reload's read: every key of the domain with its value.
void BM_CopyMultipleOfTheSettingsDomain(benchmark::State& state) {
  Device device(static_cast<int>(state.range(0)));
  AutoreleasePool pool;
  CFStringRef domain = host::makeString(kDomain);
  CFArrayRef keys =
      CFPreferencesCopyKeyList(domain, kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  for (auto _ : state) {
    CFDictionaryRef values =
        CFPreferencesCopyMultiple(keys, domain, kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
    benchmark::DoNotOptimize(values);
    CFRelease(values);
  }
  CFRelease(keys);
}
BENCHMARK(BM_CopyMultipleOfTheSettingsDomain)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The library's list write: one key, then a synchronise, acknowledged once the file holds it.
void BM_SetAppValueOf1000EntryList(benchmark::State& state) {
  Device device(10, state.range(0));
  AutoreleasePool pool;
  CFStringRef domain = host::makeString(kDomain);
  id lists[2] = {appList(1000), appList(1001)};
  int i = 0;
  for (auto _ : state) {
    CFPreferencesSetAppValue(host::makeString("lockedApps"), lists[i++ % 2], domain);
    if (!CFPreferencesAppSynchronize(domain)) state.SkipWithError("the write failed");
  }
}
BENCHMARK(BM_SetAppValueOf1000EntryList)->Arg(kDisk)->Arg(kMemory)->Unit(benchmark::kMicrosecond);

// The same domain written to its file atomically in this process.
void BM_DirectWriteOfTheSameDomain(benchmark::State& state) {
  Device device(1000, state.range(0));
  AutoreleasePool pool;
  id values = host::readPropertyListFile(host::preferencesFilePath(kDomain));
  for (auto _ : state) {
    if (!host::writePropertyListFile(host::preferencesFilePath(kDomain), values, true)) {
      state.SkipWithError("the write failed");
    }
  }
}
BENCHMARK(BM_DirectWriteOfTheSameDomain)->Arg(kDisk)->Arg(kMemory)->Unit(benchmark::kMicrosecond);

}  // namespace
