// The path memo: within a command the components of device paths are looked at once, and a
// change through the host makes the memo forget.
#include "foundation/device_changes.h"
#include "foundation/device_directories.h"
#include "foundation/device_files.h"
#include "foundation/path_resolution.h"
#include "storage_test_support.h"

namespace qv::test {
namespace {

using host::resolveDevicePath;

class PathMemo : public StorageTest {
 protected:
  // /var/data is a folder; /var/link points at it.
  void SetUp() override {
    StorageTest::SetUp();
    makeFolder("/var/data");
    std::filesystem::create_symlink("/var/data", real("/var/link"));
  }
};

// Inside a memo what a component was is remembered: a link replaced behind the host's back
// (by another program) still resolves as it did, which is why a memo lives only for one
// command. Outside one every resolution looks afresh.
TEST_F(PathMemo, RemembersWithinOneScopeOnly) {
  {
    host::DevicePathMemo memo;
    EXPECT_EQ(resolveDevicePath("/var/link/f", true), "/var/data/f");
    std::filesystem::remove(real("/var/link"));
    makeFolder("/var/link");
    EXPECT_EQ(resolveDevicePath("/var/link/f", true), "/var/data/f");
    EXPECT_EQ(resolveDevicePath("/var/link/g/../f", true), "/var/data/f");
  }
  EXPECT_EQ(resolveDevicePath("/var/link/f", true), "/var/link/f");
}

// Any change made through the host (a file written, an item removed, a folder made) makes
// the memo look again.
TEST_F(PathMemo, ChangesThroughTheHostAreSeenAtOnce) {
  host::DevicePathMemo memo;
  EXPECT_EQ(resolveDevicePath("/var/link/f", true), "/var/data/f");
  ASSERT_TRUE(host::removeDeviceItem("/var/link"));
  EXPECT_EQ(resolveDevicePath("/var/link/f", true), "/var/link/f");
  ASSERT_TRUE(host::createDeviceDirectory("/var/link", false));
  ASSERT_TRUE(host::writeDeviceFile("/var/link/f", "x", true));
  EXPECT_EQ(readRaw("/var/link/f"), "x");
  EXPECT_FALSE(existsReal("/var/data/f"));

  uint64_t before = host::deviceChangeCount();
  std::filesystem::remove_all(real("/var/link"));
  std::filesystem::create_symlink("/var/data", real("/var/link"));
  host::noteDeviceChange("/var/link");
  EXPECT_GT(host::deviceChangeCount(), before);
  EXPECT_EQ(resolveDevicePath("/var/link/f", true), "/var/data/f");
}

// With or without a memo, a walk resolves the same: links within links, "..", missing parts
// kept as written, loops refused.
TEST_F(PathMemo, ResolvesAsAWalkWithoutIt) {
  makeFolder("/var/data/deep");
  std::filesystem::create_symlink("../link/deep", real("/var/data/up"));
  std::filesystem::create_symlink("/var/loop", real("/var/loop"));
  const char* paths[] = {"/var/data/up/x",      "/var/link/../link/deep",
                         "/var/missing/a/../b", "/var/loop/x",
                         "/var/link",           "/"};
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    for (bool followLast : {true, false}) {
      std::optional<std::string> plain = resolveDevicePath(path, followLast);
      host::DevicePathMemo memo;
      EXPECT_EQ(resolveDevicePath(path, followLast), plain);
      EXPECT_EQ(resolveDevicePath(path, followLast), plain);  // from the memo
    }
  }
  EXPECT_EQ(resolveDevicePath("/var/data/up/x", true), "/var/data/deep/x");
  EXPECT_FALSE(resolveDevicePath("/var/loop/x", true));
}

}  // namespace
}  // namespace qv::test
