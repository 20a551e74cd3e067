// End-to-end tests of quorvel-sim: a work folder per test, scripts written into it, the
// program run as a child process with its own device root.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim_process.h"
#include "support/json_reader.h"

namespace qv::testing {

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quorvel-simtest-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // A file in the work folder.
  std::string write(const std::string& name, const std::string& content) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    return path;
  }

  // A fresh device root in the work folder.
  std::string newRoot() { return dir_ + "/root" + std::to_string(++roots_); }

  // Runs `script` with a fresh device root (kept in root_ to be looked at afterwards).
  SimRun runScript(const std::string& script, std::vector<std::string> extra = {}) {
    root_ = newRoot();
    std::vector<std::string> args = {"--root", root_, "--script", write("script.txt", script)};
    args.insert(args.end(), extra.begin(), extra.end());
    return runSim(args, "", dir_);
  }

  // Each output line parsed as one JSON object; fails the test on a line that is not.
  std::vector<Json> jsonLines(const SimRun& run) {
    std::vector<Json> objects;
    for (const std::string& line : run.outLines()) {
      std::optional<Json> j = parseJson(line);
      EXPECT_TRUE(j && j->isObject()) << "not a JSON object: " << line;
      if (j) objects.push_back(*j);
    }
    return objects;
  }

  // The real path of a device path under the last run's root.
  std::string real(const std::string& devicePath) const { return root_ + devicePath; }

  static constexpr const char* kSettingsFile =
      "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist";

  std::string dir_;
  std::string root_;
  int roots_ = 0;
};

// The titles of a dump's open menu, in order.
inline std::vector<std::string> menuTitles(const Json& state) {
  std::vector<std::string> titles;
  for (const Json& item : state["menu"]["items"].items()) {
    titles.push_back(item["title"].asString());
  }
  return titles;
}

}  // namespace qv::testing
