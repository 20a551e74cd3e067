// File URLs: device paths, joining, and symbolic links resolved as the device sees them.
#include <gtest/gtest.h>
#include <unistd.h>

#include "foundation/storage_internal.h"
#include "platform/foundation.h"
#include "storage_test_support.h"

namespace {

using namespace qv::host;

class URL : public qv::test::StorageTest {
 protected:
  static id fileURL(const std::string& path) {
    return msgSend<id>(objc_getClass("NSURL"), SELECTOR("fileURLWithPath:"), makeString(path));
  }
  static id fileURL(const std::string& path, bool isDirectory) {
    return msgSend<id>(objc_getClass("NSURL"), SELECTOR("fileURLWithPath:isDirectory:"),
                       makeString(path), static_cast<BOOL>(isDirectory));
  }
  static std::string text(id url, const char* sel) {
    return stdString(msgSend<id>(url, sel_registerName(sel)));
  }
  static id appending(id url, const std::string& component, bool isDirectory) {
    return msgSend<id>(url, SELECTOR("URLByAppendingPathComponent:isDirectory:"),
                       makeString(component), static_cast<BOOL>(isDirectory));
  }
  static std::string resolved(const std::string& path) {
    return text(msgSend<id>(fileURL(path, false), SELECTOR("URLByResolvingSymlinksInPath")),
                "path");
  }
  void link(const std::string& target, const std::string& device) {
    makeFolder(std::filesystem::path(device).parent_path().string());
    ASSERT_EQ(::symlink(target.c_str(), real(device).c_str()), 0);
  }
};

TEST_F(URL, PathsAreTidiedAndDirectoriesEndInASlash) {
  id dir = fileURL("/var//mobile/Library/", true);
  EXPECT_EQ(text(dir, "path"), "/var/mobile/Library");
  EXPECT_EQ(text(dir, "absoluteString"), "file:///var/mobile/Library/");
  EXPECT_EQ(text(dir, "lastPathComponent"), "Library");
  id file = fileURL("/var/mobile/My Prefs.plist", false);
  EXPECT_EQ(text(file, "absoluteString"), "file:///var/mobile/My%20Prefs.plist");
  EXPECT_EQ(text(fileURL("/", true), "absoluteString"), "file:///");
  EXPECT_EQ(text(fileURL("/", true), "path"), "/");
  EXPECT_EQ(text(fileURL("/", true), "lastPathComponent"), "/");
  EXPECT_TRUE(msgSend<BOOL>(file, SELECTOR("isFileURL")));
}

TEST_F(URL, WithoutAStatedKindTheFileSystemDecides) {
  makeFolder("/var/mobile/Documents");
  writeRaw("/var/mobile/note.txt", "x");
  EXPECT_EQ(text(fileURL("/var/mobile/Documents"), "absoluteString"),
            "file:///var/mobile/Documents/");
  EXPECT_EQ(text(fileURL("/var/mobile/note.txt"), "absoluteString"), "file:///var/mobile/note.txt");
  EXPECT_EQ(text(fileURL("/var/mobile/missing"), "absoluteString"), "file:///var/mobile/missing");
  id base = fileURL("/var/mobile", true);
  EXPECT_EQ(
      text(msgSend<id>(base, SELECTOR("URLByAppendingPathComponent:"), makeString("Documents")),
           "absoluteString"),
      "file:///var/mobile/Documents/");
}

TEST_F(URL, AppendingJoinsWithOneSlash) {
  id base = fileURL("/var/mobile/", true);
  id child = appending(base, "Library", true);
  EXPECT_EQ(text(child, "path"), "/var/mobile/Library");
  EXPECT_EQ(text(child, "absoluteString"), "file:///var/mobile/Library/");
  id file = appending(child, "/Preferences/x.plist", false);
  EXPECT_EQ(text(file, "path"), "/var/mobile/Library/Preferences/x.plist");
  EXPECT_EQ(text(file, "lastPathComponent"), "x.plist");
  EXPECT_EQ(text(appending(fileURL("/", true), "var", true), "path"), "/var");
  NS::URL facade =
      NS::URL::fileURLWithPath(NSSTR("/a")).URLByAppendingPathComponent(NSSTR("b"), false);
  EXPECT_STREQ(facade.path().UTF8String(), "/a/b");
}

TEST_F(URL, EqualityAndHashFollowThePath) {
  id a = fileURL("/var/mobile/x", false);
  id b = fileURL("/var//mobile/x/", true);
  id c = fileURL("/var/mobile/y", false);
  EXPECT_TRUE(msgSend<BOOL>(a, SELECTOR("isEqual:"), b));
  EXPECT_EQ(msgSend<NSUInteger>(a, SELECTOR("hash")), msgSend<NSUInteger>(b, SELECTOR("hash")));
  EXPECT_FALSE(msgSend<BOOL>(a, SELECTOR("isEqual:"), c));
  EXPECT_FALSE(msgSend<BOOL>(a, SELECTOR("isEqual:"), makeString("/var/mobile/x")));
}

TEST_F(URL, ResolvingFollowsRelativeAndAbsoluteLinksUnderTheRoot) {
  makeFolder("/private/var/mobile/Containers/App");
  link("/private/var", "/var");                            // absolute: a device path
  link("Containers/App", "/private/var/mobile/current");   // relative
  link("../mobile/current", "/private/var/mobile/again");  // relative, through ".."
  EXPECT_EQ(resolved("/var/mobile/current/Documents/f.txt"),
            "/private/var/mobile/Containers/App/Documents/f.txt");
  EXPECT_EQ(resolved("/var/mobile/again"), "/private/var/mobile/Containers/App");
  EXPECT_EQ(resolved("/var/mobile/Containers/./App/../App"), "/private/var/mobile/Containers/App");
  id url =
      msgSend<id>(fileURL("/var/mobile/current", false), SELECTOR("URLByResolvingSymlinksInPath"));
  EXPECT_EQ(text(url, "absoluteString"), "file:///private/var/mobile/Containers/App/");
}

TEST_F(URL, ResolvingNeverLeavesTheRoot) {
  makeFolder("/a");
  link("../../../../..", "/a/up");
  link("/../../etc", "/a/abs");
  EXPECT_EQ(resolved("/a/up"), "/");
  EXPECT_EQ(resolved("/a/up/a/up/x"), "/x");
  EXPECT_EQ(resolved("/a/abs/passwd"), "/etc/passwd");
  EXPECT_EQ(resolved("/../../a"), "/a");
  // A host path as target is still read as a device path.
  link(root_ + "/a", "/a/hostpath");
  EXPECT_EQ(resolved("/a/hostpath"), root_ + "/a");
}

TEST_F(URL, LoopsAndDanglingLinksResolveWithoutHanging) {
  makeFolder("/l");
  link("/l/two", "/l/one");
  link("/l/one", "/l/two");
  link("/l/nothing/here", "/l/dangling");
  EXPECT_EQ(resolved("/l/one/x"), "/l/one/x");  // unresolvable: left as it was
  EXPECT_EQ(resolved("/l/dangling"), "/l/nothing/here");
}

}  // namespace
