// ctest-labels: threads
// CFPreferences as clients of the preferences daemon: a domain is read from its file at first
// use and kept in the daemon's memory; changes reach the file before they are acknowledged.
#include <gtest/gtest.h>

#include "foundation/file_faults.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"
#include "platform/foundation.h"
#include "prefsd/client.h"
#include "storage_test_support.h"

namespace {

using namespace qv::host;

constexpr const char* kDomain = "com.vantrelo88.quorvel";

class Preferences : public qv::test::StorageTest {
 protected:
  static CFStringRef cf(const std::string& s) { return makeString(s); }
  void writeDomain(id dict) {
    makeFolder("/var/jb/vmo/Library/Preferences");
    ASSERT_TRUE(writePropertyListFile(preferencesFilePath(kDomain), dict, true));
  }
  static std::vector<std::string> keyList(const std::string& domain = kDomain) {
    CFArrayRef keys =
        CFPreferencesCopyKeyList(cf(domain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
    std::vector<std::string> out;
    for (id k : arrayItems(const_cast<id>(keys))) out.push_back(stdString(k));
    if (keys) CFRelease(keys);
    return out;
  }
  static qv::Strong copyMultiple(id keys, const std::string& domain = kDomain) {
    return qv::Strong::adopt(const_cast<id>(CFPreferencesCopyMultiple(
        keys, cf(domain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
  }
  id sample() {
    return makeDictionary({{makeString("enabled"), makeBool(true)},
                           {makeString("blurRadius"), makeDouble(12.5)},
                           {makeString("lockedApps"), makeArray({makeString("com.a")})}});
  }
};

TEST_F(Preferences, DomainLivesInTheSettingsPropertyList) {
  EXPECT_EQ(preferencesFilePath(kDomain),
            "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist");
  for (const char* bad : {"", ".", "..", "../../etc/x", "a/b"}) {
    EXPECT_EQ(preferencesFilePath(bad), "") << bad;
    EXPECT_TRUE(keyList(bad).empty());
    EXPECT_EQ(copyMultiple(nil, bad).get(), nil);
  }
}

TEST_F(Preferences, KeyListAndValuesComeFromTheFile) {
  writeDomain(sample());
  EXPECT_EQ(keyList(), (std::vector<std::string>{"blurRadius", "enabled", "lockedApps"}));
  qv::Strong all = copyMultiple(nil);
  EXPECT_TRUE(msgSend<BOOL>(all.get(), SELECTOR("isEqual:"), sample()));
  qv::Strong some = copyMultiple(makeArray({makeString("enabled"), makeString("absent")}));
  EXPECT_EQ(msgSend<NSUInteger>(some.get(), SELECTOR("count")), 1u);
  EXPECT_TRUE(msgSend<BOOL>(dictionaryGet(some.get(), "enabled"), SELECTOR("boolValue")));
}

TEST_F(Preferences, NoFileOrNoKeysGivesNoList) {
  EXPECT_TRUE(keyList().empty());
  qv::Strong none = copyMultiple(nil);
  ASSERT_NE(none.get(), nil);
  EXPECT_EQ(msgSend<NSUInteger>(none.get(), SELECTOR("count")), 0u);
  // A domain whose last key was removed has no list either.
  makeFolder("/var/jb/vmo/Library/Preferences");
  ASSERT_TRUE(setPreferenceValue(kDomain, "only", makeBool(true)));
  EXPECT_EQ(keyList(), std::vector<std::string>{"only"});
  ASSERT_TRUE(setPreferenceValue(kDomain, "only", nil));
  EXPECT_EQ(CFPreferencesCopyKeyList(cf(kDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost),
            nullptr);
  // A file without a dictionary, read by a new daemon, is an empty domain.
  writeDomain(makeArray({makeString("not a dictionary")}));
  ASSERT_GT(qv::host::prefsd::restartDaemon(), 0);
  EXPECT_TRUE(keyList().empty());
}

TEST_F(Preferences, SynchronisingDoesNotReadTheFileAgain) {
  writeDomain(sample());
  EXPECT_EQ(keyList().size(), 3u);
  writeDomain(makeDictionary({{makeString("only"), makeInteger(1)}}));
  EXPECT_TRUE(CFPreferencesAppSynchronize(cf(kDomain)));
  EXPECT_EQ(keyList().size(), 3u);  // the daemon's copy, as on a phone
  // A new daemon reads the file as it is now.
  ASSERT_GT(qv::host::prefsd::restartDaemon(), 0);
  EXPECT_EQ(keyList(), std::vector<std::string>{"only"});
}

TEST_F(Preferences, AChangeWritesTheDaemonsCopyOverAnEditMadeBehindItsBack) {
  writeDomain(sample());
  EXPECT_EQ(keyList().size(), 3u);
  writeDomain(makeDictionary({{makeString("edited"), makeBool(true)}}));
  ASSERT_TRUE(setPreferenceValue(kDomain, "enabled", makeBool(false)));
  NS::Dictionary onDisk = NS::Dictionary::dictionaryWithContentsOfFile(
      NS::String::from(preferencesFilePath(kDomain).c_str()));
  EXPECT_EQ(onDisk.count(), 3u);
  EXPECT_FALSE(onDisk.objectForKey(NSSTR("edited")));
  EXPECT_FALSE(onDisk.objectForKey(NSSTR("enabled")).boolValue());
  EXPECT_EQ(onDisk.objectForKey(NSSTR("blurRadius")).floatValue(), 12.5f);
}

TEST_F(Preferences, SetMultipleIsOneChange) {
  writeDomain(sample());
  id set = makeDictionary({{makeString("a"), makeInteger(1)}, {makeString("b"), makeInteger(2)}});
  CFPreferencesSetMultiple(set, makeArray({makeString("enabled"), makeString("absent")}),
                           cf(kDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  EXPECT_TRUE(CFPreferencesAppSynchronize(cf(kDomain)));
  EXPECT_EQ(keyList(), (std::vector<std::string>{"a", "b", "blurRadius", "lockedApps"}));
  id onDisk = readPropertyListFile(preferencesFilePath(kDomain));
  EXPECT_EQ(msgSend<NSUInteger>(onDisk, SELECTOR("count")), 4u);
}

TEST_F(Preferences, AChangeThatCannotBeStoredIsNotKeptAndSynchroniseSaysSo) {
  writeDomain(sample());
  std::string before = readRaw(preferencesFilePath(kDomain));
  for (WriteFault fault :
       {WriteFault::NoSpaceMidway, WriteFault::FailedRename, WriteFault::ReadOnlyFolder}) {
    injectWriteFault(fault);
    CFPreferencesSetAppValue(cf("enabled"), makeBool(false), cf(kDomain));
    EXPECT_FALSE(CFPreferencesAppSynchronize(cf(kDomain)));
    EXPECT_TRUE(CFPreferencesAppSynchronize(cf(kDomain)));  // reported once
    qv::Strong values = copyMultiple(makeArray({makeString("enabled")}));
    EXPECT_TRUE(msgSend<BOOL>(dictionaryGet(values.get(), "enabled"), SELECTOR("boolValue")));
    EXPECT_EQ(readRaw(preferencesFilePath(kDomain)), before);
    EXPECT_EQ(namesIn("/var/jb/vmo/Library/Preferences"),
              std::vector<std::string>{"com.vantrelo88.quorvel.plist"});
  }
  // A value that is no property list never leaves this process.
  qv::Strong object = qv::Strong::adopt(msgSend<id>(objc_getClass("NSObject"), SELECTOR("new")));
  CFPreferencesSetAppValue(cf("view"), object.get(), cf(kDomain));
  EXPECT_FALSE(CFPreferencesAppSynchronize(cf(kDomain)));
  EXPECT_EQ(keyList().size(), 3u);
}

TEST_F(Preferences, EachDeviceRootIsItsOwnStore) {
  writeDomain(sample());
  EXPECT_EQ(keyList().size(), 3u);
  char other[] = "/tmp/qv-storage-XXXXXX";
  ASSERT_NE(::mkdtemp(other), nullptr);
  qv::host::setDeviceRoot(other);
  EXPECT_TRUE(keyList().empty());
  qv::host::setDeviceRoot(root_);
  EXPECT_EQ(keyList().size(), 3u);
  std::filesystem::remove_all(other);
}

TEST_F(Preferences, SettingAValueWritesTheFileAtomically) {
  writeDomain(sample());
  ASSERT_TRUE(setPreferenceValue(kDomain, "enabled", makeBool(false)));
  ASSERT_TRUE(setPreferenceValue(kDomain, "lockedApps", nil));
  EXPECT_EQ(keyList(), (std::vector<std::string>{"blurRadius", "enabled"}));
  NS::Dictionary onDisk = NS::Dictionary::dictionaryWithContentsOfFile(
      NS::String::from(preferencesFilePath(kDomain).c_str()));
  EXPECT_FALSE(onDisk.objectForKey(NSSTR("enabled")).boolValue());
  EXPECT_EQ(onDisk.count(), 2u);
  EXPECT_EQ(namesIn("/var/jb/vmo/Library/Preferences"),
            std::vector<std::string>{"com.vantrelo88.quorvel.plist"});
  EXPECT_FALSE(setPreferenceValue("a/b", "k", makeBool(true)));
}

TEST_F(Preferences, ConstantsAreDistinctStringsAndCFReleaseReleases) {
  EXPECT_EQ(stdString(const_cast<id>(kCFPreferencesCurrentUser)), "kCFPreferencesCurrentUser");
  EXPECT_EQ(stdString(const_cast<id>(kCFPreferencesAnyUser)), "kCFPreferencesAnyUser");
  EXPECT_EQ(stdString(const_cast<id>(kCFPreferencesCurrentHost)), "kCFPreferencesCurrentHost");
  EXPECT_EQ(stdString(const_cast<id>(kCFPreferencesAnyHost)), "kCFPreferencesAnyHost");
  writeDomain(sample());
  CFArrayRef keys =
      CFPreferencesCopyKeyList(cf(kDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  ASSERT_NE(keys, nullptr);
  qv::Weak watch(const_cast<id>(keys));
  CFRelease(keys);
  EXPECT_EQ(watch.load().get(), nil);
}

}  // namespace
