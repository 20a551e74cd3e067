// quorvel-prefs never loses what it does not own: the library's app lists and unknown keys
// survive every write, a file it cannot read is not written over, writes replace the file
// whole through a rename, and an unusable device root is refused.
#include <sys/stat.h>

#include "prefs_fixture.h"

namespace qv::testing {
namespace {

using FileSafetyTest = PrefsTest;

ino_t inodeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(FileSafetyTest, AppListsAndUnknownKeysSurviveEveryWrite) {
  writeRaw(kSettingsFile, kSeededSettings);
  const std::vector<std::vector<std::string>> writes = {{"set", "hideBadges", "true"},
                                                        {"set", "menuColorAlpha", "0.4"},
                                                        {"reset", "hideShare"},
                                                        {"set", "hideShare", "on"},
                                                        {"reset"},
                                                        {"set", "appLock", "0"}};
  for (const auto& args : writes) {
    ProgramRun run = prefs(args);
    ASSERT_EQ(run.status, 0) << args[0] << ": " << run.err;
    EXPECT_EQ(storedList("lockedApps"),
              (std::vector<std::string>{"com.example.bank", "com.example.notes"}))
        << args[0];
    EXPECT_EQ(storedList("disableBanners"), (std::vector<std::string>{"com.example.mail"}));
    EXPECT_EQ(host::stdString(stored(kSettingsFile, "futureSetting")), "kept as it is");
  }
  EXPECT_FALSE(msgSend<BOOL>(stored(kSettingsFile, "appLock"), SELECTOR("boolValue")));
}

TEST_F(FileSafetyTest, AFileItCannotReadIsNotWrittenOver) {
  const std::vector<std::string> unreadable = {
      "this is not a property list",
      std::string(kSeededSettings).substr(0, 200),         // cut short
      "<plist><array><string>a</string></array></plist>",  // not a dictionary
      std::string("bplist00\xff\xff", 10),
  };
  for (const std::string& bytes : unreadable) {
    writeRaw(kSettingsFile, bytes);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"set", "hideBadges", "true"}, {"reset"}, {"reset", "appLock"}}) {
      ProgramRun run = prefs(args);
      EXPECT_EQ(run.status, 1) << args[0];
      EXPECT_NE(run.err.find(real(kSettingsFile)), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("it was left as it is (--force replaces it)"), std::string::npos)
          << run.err;
      EXPECT_EQ(readRaw(kSettingsFile), bytes);
    }
    // Reading shows what the library makes of it: the defaults, with a warning.
    ProgramRun get = prefs({"get", "hideShare"});
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "true\n");
    EXPECT_NE(get.err.find("warning"), std::string::npos);
  }
}

TEST_F(FileSafetyTest, ForceReplacesAFileItCannotRead) {
  writeRaw(kSettingsFile, "junk");
  ProgramRun run = prefs({"--force", "set", "hideBadges", "true"});
  ASSERT_EQ(run.status, 0) << run.err;
  id dict = host::readPropertyListFile(kSettingsFile);
  ASSERT_TRUE(host::isDictionary(dict));
  EXPECT_EQ(msgSend<NSUInteger>(dict, SELECTOR("count")), 1u);
  EXPECT_TRUE(msgSend<BOOL>(stored(kSettingsFile, "hideBadges"), SELECTOR("boolValue")));

  writeRaw(kColorsFile, "<plist><dict>");
  run = prefs({"color", "static", "#00ff00"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(readRaw(kColorsFile), "<plist><dict>");
  run = prefs({"color", "static", "#00ff00", "--force"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(host::stdString(stored(kColorsFile, "staticColor")), "#00ff00");
}

TEST_F(FileSafetyTest, AFolderAtTheFilesPlaceIsRefusedEvenWithForce) {
  std::filesystem::create_directories(real(kSettingsFile));
  ProgramRun run = prefs({"set", "hideBadges", "true"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is a folder"), std::string::npos) << run.err;
  run = prefs({"--force", "set", "hideBadges", "true"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::is_directory(real(kSettingsFile)));
}

TEST_F(FileSafetyTest, AnEmptyFileHoldsNothingToLose) {
  writeRaw(kSettingsFile, "");
  ProgramRun run = prefs({"set", "hideEdit", "true"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(msgSend<BOOL>(stored(kSettingsFile, "hideEdit"), SELECTOR("boolValue")));
}

TEST_F(FileSafetyTest, AnUnusableRootIsRefused) {
  // A regular file where the root folder should be.
  const std::string file = dir_ + "/plain-file";
  std::ofstream(file) << "not a folder";
  ProgramRun run = runProgram(QV_PREFS_PATH, {"--root", file, "set", "hideBadges", "true"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot use " + file + " as the device root: it is not a folder"),
            std::string::npos)
      << run.err;
  std::ifstream in(file);
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "not a folder");

  // A root whose /var is a file: the preferences folder cannot be made.
  std::filesystem::create_directories(root_);
  std::ofstream(root_ + "/var") << "in the way";
  run = prefs({"set", "hideBadges", "true"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot create the folder"), std::string::npos) << run.err;
  run = prefs({"color", "static", "#00ff00"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot create the folder"), std::string::npos) << run.err;
}

TEST_F(FileSafetyTest, WritesReplaceTheFileWholeAndLeaveNoTemporaries) {
  writeRaw(kSettingsFile, kSeededSettings);
  writeRaw(kColorsFile, "<plist><dict><key>wallColor</key><string>#102030</string></dict></plist>");
  const std::string folder = real("/var/jb/vmo/Library/Preferences");
  for (int i = 0; i < 3; i++) {
    ino_t settingsBefore = inodeOf(real(kSettingsFile));
    ino_t coloursBefore = inodeOf(real(kColorsFile));
    ASSERT_EQ(prefs({"set", "hideBadges", i % 2 ? "on" : "off"}).status, 0);
    ASSERT_EQ(prefs({"color", "static", i % 2 ? "#000000" : "#ffffff"}).status, 0);
    // A new file renamed into place: readers see the old file or the new, never a part.
    EXPECT_NE(inodeOf(real(kSettingsFile)), settingsBefore);
    EXPECT_NE(inodeOf(real(kColorsFile)), coloursBefore);
  }
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"com.vantrelo88.quorvel.color.plist",
                                             "com.vantrelo88.quorvel.plist"}));
}

}  // namespace
}  // namespace qv::testing
