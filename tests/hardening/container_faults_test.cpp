// Clear Caches on containers that are hostile to it: link loops, links to the device's root,
// folders it may not read, trees thousands of levels deep.
#include <sys/stat.h>

#include <filesystem>

#include "support/scenario.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

class ContainerFaults : public Scenario {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    device("14.2");
    app("com.example.mail");
    app("com.example.maps");
    boot();
    container = home().app("com.example.mail")->containerPath;
  }
  void clearCaches() {
    home().press("com.example.mail");
    home().pick("Clear Caches");
  }
  std::string container;
};

TEST_F(ContainerFaults, LinkLoopsAndLinksToTheRootAreRemovedAsLinks) {
  fs::create_symlink("loop-b", real(container + "/tmp/loop-a"));
  fs::create_symlink("loop-a", real(container + "/tmp/loop-b"));
  fs::create_symlink("/", real(container + "/Library/Caches/everything"));
  fs::create_symlink("../../..", real(container + "/Library/Caches/up"));
  clearCaches();
  EXPECT_TRUE(fs::is_empty(real(container + "/tmp")));
  EXPECT_TRUE(fs::is_empty(real(container + "/Library/Caches")));
  EXPECT_TRUE(exists(home().app("com.example.maps")->containerPath + "/Documents/notes.txt"));
  EXPECT_TRUE(exists(container + "/Documents/notes.txt"));
  EXPECT_TRUE(exists(settingsPath()));
}

TEST_F(ContainerFaults, AVeryDeepTreeIsRemovedWhole) {
  std::string path = real(container + "/tmp/deep");
  fs::create_directory(path);
  // Built relative to the last folder, as the full path would pass the system's length limit.
  ASSERT_EQ(chdir(path.c_str()), 0);
  for (int i = 0; i < 3000; i++) {
    ASSERT_EQ(mkdir("d", 0755), 0);
    ASSERT_EQ(chdir("d"), 0);
  }
  ASSERT_EQ(chdir("/"), 0);
  clearCaches();
  EXPECT_TRUE(fs::is_empty(real(container + "/tmp")));
  EXPECT_TRUE(exists(container + "/Documents/notes.txt"));
}

TEST_F(ContainerFaults, AFolderThatCannotBeReadDoesNotStopTheRest) {
  std::string locked = real(container + "/Library/Caches/locked");
  fs::create_directories(locked + "/inner");
  chmod((locked + "/inner").c_str(), 0);
  chmod(locked.c_str(), 0);
  clearCaches();
  // Everything else is gone; the unreadable folder goes too where permissions allow it.
  EXPECT_FALSE(exists(container + "/Library/Caches/http.db"));
  EXPECT_FALSE(exists(container + "/tmp/upload.part"));
  EXPECT_FALSE(exists(container + "/Library/Application Support/Dropbox/token"));
  if (fs::exists(locked)) {
    chmod(locked.c_str(), 0755);
    chmod((locked + "/inner").c_str(), 0755);
  }
}

}  // namespace
}  // namespace qv::testing
