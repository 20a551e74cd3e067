// NSFileManager and NSDirectoryEnumerator at device paths.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "foundation/storage_internal.h"
#include "platform/foundation.h"
#include "storage_test_support.h"

namespace {

using namespace qv::host;

class FileManager : public qv::test::StorageTest {
 protected:
  static id manager() {
    return msgSend<id>(objc_getClass("NSFileManager"), SELECTOR("defaultManager"));
  }
  static bool exists(const std::string& path, bool* isDirectory = nullptr) {
    BOOL folder = NO;
    BOOL found = msgSend<BOOL>(manager(), SELECTOR("fileExistsAtPath:isDirectory:"),
                               makeString(path), &folder);
    if (isDirectory) *isDirectory = folder;
    EXPECT_EQ(found, msgSend<BOOL>(manager(), SELECTOR("fileExistsAtPath:"), makeString(path)));
    return found;
  }
  static bool createFolder(const std::string& path, bool intermediates, id* error = nullptr) {
    return msgSend<BOOL>(manager(),
                         SELECTOR("createDirectoryAtPath:withIntermediateDirectories:attributes:"
                                  "error:"),
                         makeString(path), static_cast<BOOL>(intermediates), id(nil), error);
  }
  static bool remove(const std::string& path, id* error = nullptr) {
    id url = msgSend<id>(objc_getClass("NSURL"), SELECTOR("fileURLWithPath:"), makeString(path));
    return msgSend<BOOL>(manager(), SELECTOR("removeItemAtURL:error:"), url, error);
  }
  // The paths an enumeration of the folder yields.
  static std::vector<std::string> enumerate(const std::string& path, NSUInteger options) {
    id url = msgSend<id>(objc_getClass("NSURL"), SELECTOR("fileURLWithPath:"), makeString(path));
    id e = msgSend<id>(manager(),
                       SELECTOR("enumeratorAtURL:includingPropertiesForKeys:options:errorHandler:"),
                       url, id(nil), options, id(nil));
    std::vector<std::string> out;
    while (id next = msgSend<id>(e, SELECTOR("nextObject"))) out.push_back(urlPath(next));
    return out;
  }
  void link(const std::string& target, const std::string& device) {
    ASSERT_EQ(::symlink(target.c_str(), real(device).c_str()), 0);
  }
  // A few folders and files, and a link to a folder elsewhere.
  void sampleTree() {
    writeRaw("/c/b.txt", "b");
    writeRaw("/c/a/z.txt", "z");
    writeRaw("/c/a/deeper/x.txt", "x");
    writeRaw("/c/d/.hidden", "h");
    writeRaw("/elsewhere/secret.txt", "s");
    link("/elsewhere", "/c/link");
  }
};

TEST_F(FileManager, DefaultManagerIsShared) {
  EXPECT_NE(manager(), nil);
  EXPECT_EQ(manager(), manager());
  EXPECT_EQ(NS::FileManager::defaultManager().get(), manager());
}

TEST_F(FileManager, ExistenceFollowsLinksAndDanglingOnesDoNotCount) {
  writeRaw("/var/mobile/file.txt", "x");
  makeFolder("/var/mobile/Folder");
  link("/var/mobile/Folder", "/var/mobile/folderLink");
  link("/var/mobile/gone", "/var/mobile/dangling");
  bool isDirectory = true;
  EXPECT_TRUE(exists("/var/mobile/file.txt", &isDirectory));
  EXPECT_FALSE(isDirectory);
  EXPECT_TRUE(exists("/var/mobile/Folder", &isDirectory));
  EXPECT_TRUE(isDirectory);
  EXPECT_TRUE(exists("/var/mobile/folderLink", &isDirectory));
  EXPECT_TRUE(isDirectory);
  EXPECT_FALSE(exists("/var/mobile/dangling", &isDirectory));
  EXPECT_FALSE(isDirectory);
  EXPECT_FALSE(exists("/var/mobile/missing"));
  EXPECT_TRUE(NS::FileManager::defaultManager().fileExistsAtPath(NSSTR("/var/mobile/file.txt")));
}

TEST_F(FileManager, CreatesFoldersWithOrWithoutTheirParents) {
  id error = nil;
  EXPECT_FALSE(createFolder("/a/b/c", false, &error));
  ASSERT_NE(error, nil);
  EXPECT_EQ(stdString(msgSend<id>(error, SELECTOR("domain"))), "NSCocoaErrorDomain");
  EXPECT_EQ(msgSend<NSInteger>(error, SELECTOR("code")), 4);
  EXPECT_TRUE(createFolder("/a/b/c", true));
  bool isDirectory = false;
  EXPECT_TRUE(exists("/a/b/c", &isDirectory));
  EXPECT_TRUE(isDirectory);
  EXPECT_TRUE(createFolder("/a/b/c", true));  // already there: fine with intermediates
  EXPECT_FALSE(createFolder("/a/b/c", false));
  writeRaw("/a/file", "x");
  EXPECT_FALSE(createFolder("/a/file/sub", true));
}

TEST_F(FileManager, RemovesFilesAndWholeTrees) {
  sampleTree();
  EXPECT_TRUE(remove("/c/b.txt"));
  EXPECT_FALSE(existsReal("/c/b.txt"));
  EXPECT_TRUE(remove("/c/a"));
  EXPECT_FALSE(existsReal("/c/a"));
  EXPECT_TRUE(msgSend<BOOL>(manager(), SELECTOR("removeItemAtPath:error:"), makeString("/c"),
                            static_cast<id*>(nullptr)));
  EXPECT_FALSE(existsReal("/c"));
  EXPECT_EQ(readRaw("/elsewhere/secret.txt"), "s");  // reached only through a link
}

TEST_F(FileManager, RemovingALinkNeverTouchesItsTarget) {
  sampleTree();
  // A link inside the container to a folder outside it, under the root and on the host.
  char outside[] = "/tmp/qv-outside-XXXXXX";
  ASSERT_NE(::mkdtemp(outside), nullptr);
  std::string hostFile = std::string(outside) + "/keep.txt";
  { std::ofstream(hostFile) << "keep"; }
  link(outside, "/c/hostLink");
  EXPECT_TRUE(remove("/c/link"));
  EXPECT_TRUE(remove("/c/hostLink"));
  EXPECT_FALSE(existsReal("/c/link"));
  EXPECT_FALSE(existsReal("/c/hostLink"));
  EXPECT_EQ(readRaw("/elsewhere/secret.txt"), "s");
  EXPECT_TRUE(std::filesystem::exists(hostFile));
  // A tree holding such links goes without following them.
  link(outside, "/c/a/hostLink");
  EXPECT_TRUE(remove("/c"));
  EXPECT_TRUE(std::filesystem::exists(hostFile));
  std::filesystem::remove_all(outside);
}

TEST_F(FileManager, FailedRemovalReportsAnError) {
  id error = nil;
  EXPECT_FALSE(remove("/nothing/here", &error));
  ASSERT_NE(error, nil);
  EXPECT_EQ(msgSend<NSInteger>(error, SELECTOR("code")), 4);
  EXPECT_NE(stdString(msgSend<id>(error, SELECTOR("localizedDescription"))).find("/nothing/here"),
            std::string::npos);
  EXPECT_FALSE(remove("/nothing/here"));  // no error out-parameter
  writeRaw("/keep.txt", "k");
  error = nil;
  EXPECT_FALSE(remove("/", &error));  // the device's "/" itself stays
  EXPECT_NE(error, nil);
  EXPECT_FALSE(remove("/.."));
  EXPECT_EQ(readRaw("/keep.txt"), "k");
}

TEST_F(FileManager, RemovesATreeTenThousandLevelsDeepWithFewDescriptors) {
  constexpr int kDepth = 10000;
  makeFolder("/deep");
  // Built through descriptors: the real path is far beyond PATH_MAX.
  int fd = ::open(real("/deep").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < kDepth; i++) {
    ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
    if (i % 1000 == 0) {
      int file = ::openat(fd, "f.txt", O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(file, 0);
      ::close(file);
      ASSERT_EQ(::symlinkat("/", fd, "root-link"), 0);
    }
    int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(next, 0);
    ::close(fd);
    fd = next;
  }
  ::close(fd);
  // Far fewer descriptors than levels: one per level would run out.
  struct rlimit limit = {64, 64};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
  writeRaw("/keep.txt", "k");
  EXPECT_TRUE(remove("/deep"));
  EXPECT_FALSE(existsReal("/deep"));
  EXPECT_EQ(readRaw("/keep.txt"), "k");
}

TEST_F(FileManager, ListsFolderContentsSorted) {
  sampleTree();
  id names = msgSend<id>(manager(), SELECTOR("contentsOfDirectoryAtPath:error:"), makeString("/c"),
                         static_cast<id*>(nullptr));
  std::vector<std::string> got;
  for (id n : arrayItems(names)) got.push_back(stdString(n));
  EXPECT_EQ(got, (std::vector<std::string>{"a", "b.txt", "d", "link"}));
  id error = nil;
  EXPECT_EQ(msgSend<id>(manager(), SELECTOR("contentsOfDirectoryAtPath:error:"),
                        makeString("/none"), &error),
            nil);
  EXPECT_NE(error, nil);
}

TEST_F(FileManager, EnumeratesDepthFirstInOrderWithoutEnteringLinks) {
  sampleTree();
  EXPECT_EQ(enumerate("/c", 0),
            (std::vector<std::string>{"/c/a", "/c/a/deeper", "/c/a/deeper/x.txt", "/c/a/z.txt",
                                      "/c/b.txt", "/c/d", "/c/d/.hidden", "/c/link"}));
  EXPECT_EQ(enumerate("/c", 4),  // skipping hidden files
            (std::vector<std::string>{"/c/a", "/c/a/deeper", "/c/a/deeper/x.txt", "/c/a/z.txt",
                                      "/c/b.txt", "/c/d", "/c/link"}));
}

TEST_F(FileManager, SkippingDescendantsListsOnlyDirectEntries) {
  sampleTree();
  EXPECT_EQ(enumerate("/c", NS::DirectoryEnumerationSkipsSubdirectoryDescendants),
            (std::vector<std::string>{"/c/a", "/c/b.txt", "/c/d", "/c/link"}));
  NS::DirectoryEnumerator e = NS::FileManager::defaultManager().enumeratorAtURL(
      NS::URL::fileURLWithPath(NSSTR("/c/a")), nil,
      NS::DirectoryEnumerationSkipsSubdirectoryDescendants, nil);
  NS::URL first(e.nextObject().get());
  EXPECT_STREQ(first.path().UTF8String(), "/c/a/deeper");
  EXPECT_TRUE(msgSend<BOOL>(first.get(), SELECTOR("hasDirectoryPath")));
  EXPECT_STREQ(NS::URL(e.nextObject().get()).path().UTF8String(), "/c/a/z.txt");
  EXPECT_FALSE(e.nextObject());
}

TEST_F(FileManager, SkipDescendantsLeavesTheFolderJustReturned) {
  sampleTree();
  id url = msgSend<id>(objc_getClass("NSURL"), SELECTOR("fileURLWithPath:"), makeString("/c"));
  id e = msgSend<id>(manager(),
                     SELECTOR("enumeratorAtURL:includingPropertiesForKeys:options:errorHandler:"),
                     url, id(nil), NSUInteger{0}, id(nil));
  EXPECT_EQ(urlPath(msgSend<id>(e, SELECTOR("nextObject"))), "/c/a");
  msgSend<void>(e, SELECTOR("skipDescendants"));
  EXPECT_EQ(urlPath(msgSend<id>(e, SELECTOR("nextObject"))), "/c/b.txt");
}

TEST_F(FileManager, MissingOrUnreadableFoldersYieldNothing) {
  writeRaw("/file.txt", "x");
  EXPECT_TRUE(enumerate("/missing", 0).empty());
  EXPECT_TRUE(enumerate("/missing", 1).empty());
  EXPECT_TRUE(enumerate("/file.txt", 0).empty());
  makeFolder("/empty");
  EXPECT_TRUE(enumerate("/empty", 0).empty());
}

TEST_F(FileManager, EnumeratingThroughALinkedFolderNamesEntriesByTheGivenPath) {
  sampleTree();
  EXPECT_EQ(enumerate("/c/link", 0), std::vector<std::string>{"/c/link/secret.txt"});
}

}  // namespace
