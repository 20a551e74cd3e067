// Property-list files: NSDictionary / NSArray reading and atomic writing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "foundation/plist_guard.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"
#include "platform/foundation.h"
#include "storage_test_support.h"

namespace {

using namespace qv::host;

class PropertyListFiles : public qv::test::StorageTest {
 protected:
  id settings(int variant = 0) {
    return makeDictionary({
        {makeString("enabled"), makeBool(variant % 2 == 0)},
        {makeString("count"), makeInteger(variant)},
        {makeString("scale"), makeDouble(1.25)},
        {makeString("title"), makeString("Settings " + std::to_string(variant))},
        {makeString("blob"), makeData({1, 2, 3})},
        {makeString("apps"), makeArray({makeString("com.a"), makeString("com.b")})},
        {makeString("nested"), makeDictionary({{makeString("k"), makeArray({makeInteger(1)})}})},
    });
  }
  id readDict(const std::string& path, const char* cls = "NSDictionary") {
    return msgSend<id>(objc_getClass(cls), SELECTOR("dictionaryWithContentsOfFile:"),
                       makeString(path));
  }
  id readArray(const std::string& path) {
    return msgSend<id>(objc_getClass("NSArray"), SELECTOR("arrayWithContentsOfFile:"),
                       makeString(path));
  }
  bool write(id obj, const std::string& path, bool atomically) {
    return msgSend<BOOL>(obj, SELECTOR("writeToFile:atomically:"), makeString(path),
                         static_cast<BOOL>(atomically));
  }
};

TEST_F(PropertyListFiles, ReadsXMLAndBinaryFiles) {
  id original = settings();
  writeRaw("/var/mobile/x.plist", propertyListXML(original));
  writeRaw("/var/mobile/b.plist", propertyListBinary(original));
  ASSERT_EQ(readRaw("/var/mobile/b.plist").substr(0, 8), "bplist00");
  for (const char* path : {"/var/mobile/x.plist", "/var/mobile/b.plist"}) {
    id read = readDict(path);
    ASSERT_NE(read, nil) << path;
    EXPECT_TRUE(msgSend<BOOL>(read, SELECTOR("isEqual:"), original)) << path;
  }
}

TEST_F(PropertyListFiles, UnreadableFilesGiveNil) {
  std::string xml = propertyListXML(settings());
  std::string bin = propertyListBinary(settings());
  writeRaw("/p/empty.plist", "");
  writeRaw("/p/junk.plist", "\x01\x02 not a plist \xff");
  writeRaw("/p/cut.plist", xml.substr(0, xml.size() - 30));
  writeRaw("/p/cut.bplist", bin.substr(0, bin.size() - 5));
  makeFolder("/p/folder.plist");
  for (const char* path : {"/p/missing.plist", "/p/empty.plist", "/p/junk.plist", "/p/cut.plist",
                           "/p/cut.bplist", "/p/folder.plist", "/nowhere/x.plist"}) {
    EXPECT_EQ(readDict(path), nil) << path;
    EXPECT_EQ(readPropertyListFile(path), nil) << path;
  }
}

TEST_F(PropertyListFiles, TheRootMustBeOfTheKindAskedFor) {
  id list = makeArray({makeString("a"), makeInteger(1)});
  writeRaw("/p/array.plist", propertyListXML(list));
  writeRaw("/p/dict.plist", propertyListXML(settings()));
  writeRaw("/p/string.plist", propertyListXML(makeString("just text")));
  EXPECT_EQ(readDict("/p/array.plist"), nil);
  EXPECT_EQ(readDict("/p/string.plist"), nil);
  EXPECT_EQ(readArray("/p/dict.plist"), nil);
  EXPECT_TRUE(msgSend<BOOL>(readArray("/p/array.plist"), SELECTOR("isEqual:"), list));
  EXPECT_TRUE(isString(readPropertyListFile("/p/string.plist")));
}

TEST_F(PropertyListFiles, MutableDictionaryReadIsMutableAtTheTopOnly) {
  writeRaw("/p/s.plist", propertyListXML(settings()));
  id read = readDict("/p/s.plist", "NSMutableDictionary");
  ASSERT_EQ(object_getClass(read), mutableDictionaryClass());
  msgSend<void>(read, SELECTOR("setObject:forKey:"), makeString("v"), makeString("added"));
  EXPECT_EQ(stdString(dictionaryGet(read, "added")), "v");
  EXPECT_EQ(object_getClass(dictionaryGet(read, "nested")), dictionaryClass());
  EXPECT_EQ(object_getClass(readDict("/p/s.plist")), dictionaryClass());
}

TEST_F(PropertyListFiles, WritesRoundTripInBothModes) {
  makeFolder("/var/mobile/Library");
  for (bool atomically : {true, false}) {
    id original = settings(atomically ? 1 : 2);
    ASSERT_TRUE(write(original, "/var/mobile/Library/s.plist", atomically));
    EXPECT_NE(readRaw("/var/mobile/Library/s.plist").find("<?xml"), std::string::npos);
    EXPECT_TRUE(
        msgSend<BOOL>(readDict("/var/mobile/Library/s.plist"), SELECTOR("isEqual:"), original));
    EXPECT_EQ(namesIn("/var/mobile/Library"), std::vector<std::string>{"s.plist"});
  }
  id list = makeArray({makeDouble(2.5), makeString("x")});
  ASSERT_TRUE(write(list, "/var/mobile/Library/a.plist", true));
  EXPECT_TRUE(msgSend<BOOL>(readArray("/var/mobile/Library/a.plist"), SELECTOR("isEqual:"), list));
}

TEST_F(PropertyListFiles, FacadeReadsAndWritesTheSameStore) {
  makeFolder("/var/mobile");
  NS::MutableDictionary d = NS::MutableDictionary::dictionary();
  d.setObject(NS::Number::withBool(true), NSSTR("enabled"));
  ASSERT_TRUE(d.writeToFile(NSSTR("/var/mobile/f.plist"), true));
  NS::Dictionary back = NS::Dictionary::dictionaryWithContentsOfFile(NSSTR("/var/mobile/f.plist"));
  EXPECT_TRUE(back.objectForKey(NSSTR("enabled")).boolValue());
  EXPECT_FALSE(NS::Dictionary::dictionaryWithContentsOfFile(NSSTR("/var/mobile/none.plist")));
}

TEST_F(PropertyListFiles, NonPropertyListContentWritesNothing) {
  makeFolder("/p");
  id object =
      msgSend<id>(msgSend<id>(objc_getClass("NSObject"), SELECTOR("new")), SELECTOR("autorelease"));
  id bad = makeDictionary({{makeString("ok"), makeInteger(1)}, {makeString("bad"), object}});
  EXPECT_FALSE(write(bad, "/p/new.plist", true));
  EXPECT_FALSE(write(bad, "/p/new.plist", false));
  EXPECT_FALSE(existsReal("/p/new.plist"));
  writeRaw("/p/old.plist", propertyListXML(settings()));
  std::string before = readRaw("/p/old.plist");
  EXPECT_FALSE(write(bad, "/p/old.plist", false));
  EXPECT_FALSE(write(makeDictionary({{makeInteger(3), makeString("v")}}), "/p/old.plist", true));
  EXPECT_EQ(readRaw("/p/old.plist"), before);
  EXPECT_EQ(namesIn("/p"), std::vector<std::string>{"old.plist"});
}

TEST_F(PropertyListFiles, FailedAtomicWriteKeepsTheOldFileAndLeavesNoTemporary) {
  makeFolder("/p");
  ASSERT_TRUE(write(settings(1), "/p/s.plist", true));
  std::string before = readRaw("/p/s.plist");
  // Cap the size of files this process may write: the new, larger content fails midway.
  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = {static_cast<rlim_t>(before.size() + 16),
                         static_cast<rlim_t>(before.size() + 16)};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::vector<id> many;
  for (int i = 0; i < 500; i++) many.push_back(makeString("entry " + std::to_string(i)));
  id big = makeDictionary({{makeString("list"), makeArray(many)}});
  EXPECT_FALSE(write(big, "/p/s.plist", true));
  EXPECT_EQ(readRaw("/p/s.plist"), before);
  EXPECT_EQ(namesIn("/p"), std::vector<std::string>{"s.plist"});
  EXPECT_TRUE(msgSend<BOOL>(readDict("/p/s.plist"), SELECTOR("isEqual:"), settings(1)));
}

// Another process replaces the file atomically over and over (as the preferences daemon does):
// every read finds a whole file, never none, though each rename races with the lookup (the
// kernel asks a lookup confined to the device root that climbs through ".." to try again then,
// as one through a link that climbs does).
TEST_F(PropertyListFiles, ReadsWhileTheFileIsReplacedAtomicallyAlwaysFindIt) {
  makeFolder("/p");
  makeFolder("/q");
  ASSERT_TRUE(write(settings(1), "/p/s.plist", true));
  std::string content = readRaw("/p/s.plist"), target = real("/p/s.plist");
  std::atomic<bool> done{false};
  std::thread replacer([&] {
    for (int i = 0; !done; i++) {
      std::string temp = target + ".new" + std::to_string(i % 2);
      std::ofstream(temp, std::ios::binary) << content;
      ::rename(temp.c_str(), target.c_str());
    }
  });
  int missed = 0;
  for (int i = 0; i < 3000; i++) {
    qv::AutoreleasePool pool;
    if (!readDict("/q/../p/s.plist")) missed++;
  }
  done = true;
  replacer.join();
  EXPECT_EQ(missed, 0);
}

TEST_F(PropertyListFiles, WritesThatCannotLandFailCleanly) {
  makeFolder("/p/target.plist");
  writeRaw("/p/inner.plist", "keep");
  writeRaw("/p/file", "plain file");
  EXPECT_FALSE(write(settings(), "/p/target.plist", true));  // a folder is there
  EXPECT_FALSE(write(settings(), "/p/target.plist", false));
  EXPECT_FALSE(write(settings(), "/p/file/x.plist", true));  // the parent is a file
  EXPECT_FALSE(write(settings(), "/missing/x.plist", true));
  EXPECT_FALSE(existsReal("/missing"));
  EXPECT_EQ(namesIn("/p"), (std::vector<std::string>{"file", "inner.plist", "target.plist"}));
  EXPECT_TRUE(namesIn("/p/target.plist").empty());
}

TEST_F(PropertyListFiles, ReadOnlyFolderRefusesAtomicWrite) {
  if (::geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind root";
  makeFolder("/ro");
  ASSERT_TRUE(write(settings(1), "/ro/s.plist", true));
  std::string before = readRaw("/ro/s.plist");
  ::chmod(real("/ro").c_str(), 0555);
  EXPECT_FALSE(write(settings(2), "/ro/s.plist", true));
  ::chmod(real("/ro").c_str(), 0755);
  EXPECT_EQ(readRaw("/ro/s.plist"), before);
  EXPECT_EQ(namesIn("/ro"), std::vector<std::string>{"s.plist"});
}

TEST_F(PropertyListFiles, ReadersNeverSeeAPartialFile) {
  makeFolder("/p");
  std::vector<id> many;
  for (int i = 0; i < 2000; i++) many.push_back(makeString("value " + std::to_string(i)));
  qv::Strong first = makeDictionary({{makeString("v"), makeArray(many)}});
  qv::Strong second = settings(7);
  ASSERT_TRUE(write(first, "/p/s.plist", true));
  std::atomic<bool> done{false};
  std::atomic<int> bad{0}, reads{0};
  std::thread reader([&] {
    while (!done) {
      qv::AutoreleasePool pool;
      id read = readPropertyListFile("/p/s.plist");
      if (!msgSend<BOOL>(first.get(), SELECTOR("isEqual:"), read) &&
          !msgSend<BOOL>(second.get(), SELECTOR("isEqual:"), read)) {
        bad++;
      }
      reads++;
    }
  });
  for (int i = 0; i < 150; i++) {
    qv::AutoreleasePool pool;
    ASSERT_TRUE(write(i % 2 ? first.get() : second.get(), "/p/s.plist", true));
  }
  while (reads < 20) std::this_thread::yield();
  done = true;
  reader.join();
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(namesIn("/p"), std::vector<std::string>{"s.plist"});
}

TEST_F(PropertyListFiles, LinksAndDotsStayInsideTheDeviceRoot) {
  makeFolder("/var/mobile");
  makeFolder("/data");
  // An absolute link target is a device path: it lands under the root, not on the host.
  ASSERT_EQ(::symlink("/data/target.plist", real("/var/mobile/link.plist").c_str()), 0);
  ASSERT_TRUE(write(settings(3), "/var/mobile/link.plist", true));
  EXPECT_TRUE(existsReal("/data/target.plist"));
  EXPECT_TRUE(msgSend<BOOL>(readDict("/var/mobile/link.plist"), SELECTOR("isEqual:"), settings(3)));
  // The link itself survives an atomic write through it.
  struct stat st;
  ASSERT_EQ(::lstat(real("/var/mobile/link.plist").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  ASSERT_TRUE(write(settings(4), "/../../../escape.plist", true));
  EXPECT_TRUE(existsReal("/escape.plist"));
  EXPECT_TRUE(msgSend<BOOL>(readDict("/../escape.plist"), SELECTOR("isEqual:"), settings(4)));
}

TEST_F(PropertyListFiles, OversizedFilesAndPipesAreRefused) {
  makeFolder("/p");
  { std::ofstream out(real("/p/huge.plist")); }
  ASSERT_EQ(::truncate(real("/p/huge.plist").c_str(), kMaxPropertyListBytes + 1), 0);
  EXPECT_EQ(readDict("/p/huge.plist"), nil);
  ASSERT_EQ(::mkfifo(real("/p/fifo.plist").c_str(), 0644), 0);
  EXPECT_EQ(readDict("/p/fifo.plist"), nil);  // returns at once instead of waiting on a writer
}

}  // namespace
