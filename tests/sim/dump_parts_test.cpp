// The state dump holds everything, says where a list is shortened, and is always valid JSON.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <limits>

#include "foundation/device_directories.h"
#include "foundation/device_files.h"
#include "foundation/system_log.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

class DumpParts : public Scenario {
 protected:
  // Removes what ContainerFilesAreListedAtAnyDepth made, deepest first, by descriptors (the
  // paths are too long to name).
  static void removeDeepTree(const std::string& container, int depth) {
    std::vector<int> fds = {::open(container.c_str(), O_RDONLY | O_DIRECTORY)};
    std::vector<std::string> names;
    for (int i = 0; i < depth; i++) {
      names.push_back("level-" + std::to_string(1000 + i).substr(1));
      fds.push_back(::openat(fds.back(), names.back().c_str(), O_RDONLY | O_DIRECTORY));
    }
    ::unlinkat(fds.back(), "bottom.txt", 0);
    for (int i = depth - 1; i >= 0; i--) {
      ::close(fds[static_cast<size_t>(i) + 1]);
      ::unlinkat(fds[static_cast<size_t>(i)], names[static_cast<size_t>(i)].c_str(), AT_REMOVEDIR);
    }
    ::close(fds[0]);
  }
};

// A tree deeper than a path can name is still walked, one folder at a time.
TEST_F(DumpParts, ContainerFilesAreListedAtAnyDepth) {
  app("com.example.mail");
  boot();
  std::string container = real(dump()["apps"]["com.example.mail"]["container"].asString());
  int fd = ::open(container.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  const int depth = 600;  // 600 x "level-xxx/" is beyond PATH_MAX
  for (int i = 0; i < depth; i++) {
    std::string name = "level-" + std::to_string(1000 + i).substr(1);
    ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
    int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    ASSERT_GE(next, 0);
    fd = next;
  }
  int file = ::openat(fd, "bottom.txt", O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(file, 0);
  ::close(file);
  ::close(fd);

  Json files = dump()["apps"]["com.example.mail"]["containerFiles"];
  EXPECT_EQ(files.size(), 11u);
  std::string deepest;
  for (const Json& f : files.items()) {
    if (f.asString().size() > deepest.size()) deepest = f.asString();
  }
  EXPECT_EQ(deepest.size(),
            depth * std::string("level-000/").size() + std::string("bottom.txt").size());
  EXPECT_EQ(deepest.rfind("level-599/bottom.txt"), deepest.size() - 20);
  EXPECT_FALSE(dump()["apps"]["com.example.mail"].has("containerUnreadable"));
  removeDeepTree(container, depth);
}

// A link in a container is listed as itself, not as what it points to.
TEST_F(DumpParts, LinksInAContainerAreListedByTheirOwnName) {
  app("com.example.mail");
  boot();
  std::string container = dump()["apps"]["com.example.mail"]["container"].asString();
  std::filesystem::create_symlink("/var/mobile", real(container + "/Library/Caches/outside"));
  bool listed = false;
  for (const Json& f : dump()["apps"]["com.example.mail"]["containerFiles"].items()) {
    EXPECT_EQ(f.asString().find(".."), std::string::npos) << f.asString();
    listed = listed || f.asString() == "Library/Caches/outside";
  }
  EXPECT_TRUE(listed);
}

// An app's state lists its data container again only after the host changed something under
// it: a change behind the host's back shows in a whole dump, which lists afresh, not before.
TEST_F(DumpParts, AnAppsStateListsItsContainerAgainOnlyAfterTheHostChangedIt) {
  app("com.example.mail");
  app("com.example.notes");
  boot();
  const host::AppState& mail = *home().app("com.example.mail");
  const host::AppState& notes = *home().app("com.example.notes");
  auto listed = [&](const std::string& file, const host::AppState* of = nullptr) {
    for (const Json& f : Json(host::appState(of ? *of : mail))["containerFiles"].items())
      if (f.asString() == file) return true;
    return false;
  };
  ASSERT_TRUE(listed("Documents/notes.txt", &notes));
  const unsigned long notesChanges = notes.containerChanges->load();
  ASSERT_TRUE(listed("Documents/notes.txt"));

  std::ofstream(real(mail.containerPath + "/Documents/behind.txt")) << "x";
  EXPECT_FALSE(listed("Documents/behind.txt"));
  bool dumped = false;
  for (const Json& f : dump()["apps"]["com.example.mail"]["containerFiles"].items())
    dumped = dumped || f.asString() == "Documents/behind.txt";
  EXPECT_TRUE(dumped);
  EXPECT_TRUE(listed("Documents/behind.txt"));

  ASSERT_TRUE(host::writeDeviceFile(mail.containerPath + "/tmp/through.txt", "x", true));
  EXPECT_TRUE(listed("tmp/through.txt"));
  ASSERT_TRUE(host::removeDeviceItem(mail.containerPath + "/Documents"));
  EXPECT_FALSE(listed("Documents/notes.txt"));
  // Changes in one container are not counted against another; one above them all is.
  EXPECT_EQ(notes.containerChanges->load(), notesChanges);
  ASSERT_TRUE(host::removeDeviceItem("/var/mobile/Containers/Data"));
  EXPECT_FALSE(listed("Documents/notes.txt", &notes));
}

// The system log keeps its last lines; the dump counts those it no longer has.
TEST_F(DumpParts, TheLogSaysHowManyLinesItDropped) {
  bootWithoutLibrary();
  for (size_t i = 0; i < host::kSystemLogCapacity + 5; i++) host::appendSystemLog("line");
  Json d = dump();
  EXPECT_EQ(d["log"].size(), host::kSystemLogCapacity);
  EXPECT_EQ(d["logLinesDropped"].asNumber(), 5);
  host::SystemLogTail tail = host::systemLogSince(host::systemLogCount() - 2);
  EXPECT_EQ(tail.lines.size(), 2u);
  EXPECT_EQ(tail.dropped, 0u);
  EXPECT_EQ(host::systemLogSince(1).dropped, 4u);
}

// The version-13 styling keeps whether the group it styles belongs to an alert.
TEST_F(DumpParts, TheDumpShowsWhetherTheStyledGroupIsAnAlert) {
  device("13.5");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  EXPECT_FALSE(dump()["actionGroupIsAlert"].asBool());
  home().pick("Bundle Identifier");
  Json d = dump();
  ASSERT_TRUE(d["actionGroupIsAlert"].isBool());
  EXPECT_TRUE(d["actionGroupIsAlert"].asBool());
}

// Text that is not UTF-8 cannot make the output invalid: its bad bytes become U+FFFD. Reading
// JSON refuses such text. Whole numbers print without a fraction as far as a double holds them
// exactly; numbers that are not finite print as null.
TEST(JsonText, WritingReplacesBadBytesAndReadingRefusesThem) {
  host::Json value = host::Json::object();
  value["name"] = std::string("caf\xe9", 4);
  value["nul"] = std::string("a\0b", 3);
  value["whole"] = host::number(3.0);
  value["part"] = host::number(0.25);
  value["negativeZero"] = host::number(-0.0);
  value["largestExact"] = host::number(9007199254740992.0);
  value["beyond"] = host::number(18014398509481984.0);
  value["nan"] = host::number(std::numeric_limits<double>::quiet_NaN());
  value["infinity"] = host::number(std::numeric_limits<double>::infinity());
  EXPECT_EQ(host::jsonText(value),
            "{\"name\":\"caf\xef\xbf\xbd\",\"nul\":\"a\\u0000b\",\"whole\":3,"
            "\"part\":0.25,\"negativeZero\":0,\"largestExact\":9007199254740992,"
            "\"beyond\":1.8014398509481984e+16,\"nan\":null,\"infinity\":null}");
  std::optional<Json> back = parseJson(host::jsonText(value));
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)["nul"].asString(), std::string("a\0b", 3));
  EXPECT_EQ((*back)["whole"].asNumber(), 3);
  EXPECT_FALSE(parseJson(std::string("\"caf\xe9\"")));
  EXPECT_FALSE(parseJson("{\"a\":1} trailing"));
}

}  // namespace
}  // namespace qv::testing
