#include <cairo.h>

#include "foundation/device_root.h"
#include "sim_fixture.h"

namespace qv::testing {
namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

TEST_F(SimTest, PressShowsTheLibraryMenuAndPickActsOnIt) {
  SimRun run = runScript(
      "device os=14.2\n"
      "app com.example.mail name=\"Mail\" badge=3\n"
      "app com.example.notes name=\"Notes\"\n"
      "boot\n"
      "press com.example.mail\n"
      "dump\n"
      "pick \"Clear Badge\"\n"
      "dump\n",
      {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 8u);

  const Json& boot = out[3];
  EXPECT_EQ(boot["family"].asString(), "14");
  EXPECT_TRUE(boot["library"].asBool());
  EXPECT_GT(boot["hooks"].asNumber(), 0);

  const Json& before = out[5]["state"];
  EXPECT_EQ(before["os"].asString(), "14.2");
  EXPECT_EQ(before["menu"]["bundleID"].asString(), "com.example.mail");
  std::vector<std::string> titles = menuTitles(before);
  EXPECT_TRUE(contains(titles, "Clear Badge"));
  EXPECT_TRUE(contains(titles, "Edit Home Screen"));
  // What press printed is the menu the dump shows, in the same order.
  std::vector<std::string> pressed;
  for (const Json& item : out[4]["menu"].items()) pressed.push_back(item["title"].asString());
  EXPECT_EQ(pressed, titles);
  EXPECT_EQ(before["apps"]["com.example.mail"]["badge"].asNumber(), 3);

  std::vector<std::string> changes;
  for (const Json& c : out[6]["changes"].items()) changes.push_back(c.asString());
  EXPECT_TRUE(contains(changes, "menu closed"));
  EXPECT_TRUE(contains(changes, "com.example.mail: badge 3 -> none"));
  const Json& after = out[7]["state"];
  EXPECT_TRUE(after["menu"].isNull());
  EXPECT_TRUE(after["apps"]["com.example.mail"]["badge"].isNull());
  EXPECT_TRUE(after["apps"]["com.example.notes"]["badge"].isNull());
}

TEST_F(SimTest, TextOutputListsTheMenuAndWhatChanged) {
  SimRun run = runScript(
      "app com.example.mail badge=2\n"
      "boot\n"
      "press com.example.mail\n"
      "pick \"Clear Badge\"\n"
      "layout\n"
      "dump\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = run.outLines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0].rfind("booted OS 14.2 (family 14), 1 icon, library loaded", 0), 0u)
      << lines[0];
  // "menu for ID (N items):" and then the N items, indented.
  ASSERT_EQ(lines[1].rfind("menu for com.example.mail (", 0), 0u) << lines[1];
  size_t count = std::stoul(lines[1].substr(std::string("menu for com.example.mail (").size()));
  ASSERT_GT(count, 0u);
  ASSERT_GT(lines.size(), count + 2);
  std::vector<std::string> items(lines.begin() + 2, lines.begin() + 2 + static_cast<long>(count));
  for (const std::string& item : items) EXPECT_EQ(item.rfind("  ", 0), 0u) << item;
  EXPECT_TRUE(contains(items, "  Clear Badge"));
  EXPECT_EQ(lines[2 + count].rfind("  ", 0), std::string::npos);
  EXPECT_TRUE(contains(lines, "com.example.mail: badge 2 -> none"));
  EXPECT_TRUE(contains(lines, "ok"));  // layout changed nothing visible
  // The dump is the pretty JSON, to the end of the output.
  auto open = std::find(lines.begin(), lines.end(), "{");
  ASSERT_NE(open, lines.end());
  std::string dump;
  for (auto it = open; it != lines.end(); ++it) dump += *it + "\n";
  std::optional<Json> state = parseJson(dump);
  ASSERT_TRUE(state);
  EXPECT_EQ((*state)["bundleID"].asString(), "com.example.mail");
}

TEST_F(SimTest, JsonLinesQuotingAndComments) {
  SimRun run = runScript(
      "# every kind of value\n"
      "\n"
      "app com.example.mail name=\"Mail \\\"Box\\\" \\\\ 2\" badge=4   # trailing comment\n"
      "wallpaper #102030 # a colour word is not a comment\n"
      "raw-setting flag true\n"
      "raw-setting ratio 0.25\n"
      "raw-setting word hello\n"
      "raw-setting text \"true\"\n"
      "raw-setting phrase \"a # b\"\n"
      "   folder \"My Folder\"\t\n"
      "dump\n"
      "frobnicate\n"
      "dump\n",
      {"--json"});
  EXPECT_EQ(run.status, 1);
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 10u) << run.out;
  const char* commands[] = {"app",         "wallpaper",   "raw-setting", "raw-setting",
                            "raw-setting", "raw-setting", "raw-setting", "folder",
                            "dump",        "frobnicate"};
  for (size_t i = 0; i < out.size(); i++) {
    EXPECT_EQ(out[i]["line"].asNumber(), static_cast<double>(i + 3));
    EXPECT_EQ(out[i]["command"].asString(), commands[i]);
    EXPECT_EQ(out[i]["ok"].asBool(), i + 1 < out.size());
  }
  EXPECT_NE(out.back()["error"].asString().find("unknown command"), std::string::npos);
  EXPECT_NE(run.err.find("quorvel-sim: line 12: unknown command"), std::string::npos);

  const Json& state = out[8]["state"];
  EXPECT_EQ(state["apps"]["com.example.mail"]["name"].asString(), "Mail \"Box\" \\ 2");
  const Json& settings = state["settingsFile"];
  EXPECT_TRUE(settings["flag"].isBool() && settings["flag"].asBool());
  EXPECT_EQ(settings["ratio"].asNumber(), 0.25);
  EXPECT_EQ(settings["word"].asString(), "hello");
  EXPECT_TRUE(settings["text"].isString());
  EXPECT_EQ(settings["text"].asString(), "true");
  EXPECT_EQ(settings["phrase"].asString(), "a # b");
}

TEST_F(SimTest, OsOptionUnlessTheScriptNamesTheDevice) {
  SimRun fromOption = runScript("boot\ndump\n", {"--os", "13.5", "--json"});
  ASSERT_EQ(fromOption.status, 0) << fromOption.err;
  std::vector<Json> out = jsonLines(fromOption);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[1]["state"]["os"].asString(), "13.5");
  EXPECT_EQ(out[1]["state"]["family"].asString(), "13");

  SimRun fromScript = runScript("device os=12.4\nboot\ndump\n", {"--os", "13.5", "--json"});
  ASSERT_EQ(fromScript.status, 0) << fromScript.err;
  out = jsonLines(fromScript);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[2]["state"]["os"].asString(), "12.4");
  EXPECT_EQ(out[2]["state"]["family"].asString(), "12");
}

TEST_F(SimTest, SettingAfterBootReachesTheLibraryOnReload) {
  SimRun run = runScript(
      "app com.example.mail\n"
      "boot\n"
      "setting hideBadges true\n"
      "dump\n"
      "reload prefs\n"
      "dump\n",
      {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 6u);
  EXPECT_FALSE(out[3]["state"]["settings"]["hideBadges"].asBool());
  EXPECT_TRUE(out[3]["state"]["settingsFile"]["hideBadges"].asBool());
  EXPECT_EQ(out[4]["changes"][0].asString(), "setting hideBadges: false -> true");
  EXPECT_TRUE(out[5]["state"]["settings"]["hideBadges"].asBool());
}

TEST_F(SimTest, PicturesAreFoundNextToTheScript) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
  ASSERT_EQ(cairo_surface_write_to_png(s, (dir_ + "/red.png").c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(s);
  write("not-a-picture.png", "plain text");

  SimRun good = runScript("app com.example.mail icon=red.png\nwallpaper red.png\nboot\n");
  EXPECT_EQ(good.status, 0) << good.err;
  SimRun bad = runScript("wallpaper not-a-picture.png\n");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("line 1: wallpaper: " + dir_ + "/not-a-picture.png is not a PNG file"),
            std::string::npos)
      << bad.err;
}

}  // namespace
}  // namespace qv::testing
