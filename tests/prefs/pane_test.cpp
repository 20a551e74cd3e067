// The phone's settings pane, written by `quorvel-prefs pane` from the program's key table: it
// offers every setting the library reads, with the library's own default, and each cell writes
// the right domain and announces the right reload.
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "child_process.h"
#include "foundation/foundation_internal.h"
#include "springboard/library_view.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

using SettingsPane = Scenario;

std::string field(id cell, const char* key) {
  id value = msgSend<id>(cell, SELECTOR("objectForKey:"), host::makeString(key));
  return value ? host::stdString(msgSend<id>(value, SELECTOR("description"))) : "";
}

id value(id cell, const char* key) {
  return msgSend<id>(cell, SELECTOR("objectForKey:"), host::makeString(key));
}

// The pane's cells, read back from what the program printed.
std::vector<id> paneCells(const std::string& xml) {
  id pane = host::propertyListFromBytes(xml);
  EXPECT_TRUE(pane) << xml;
  return host::arrayItems(value(pane, "items"));
}

// The keys of the program's table, from its listing.
std::set<std::string> listedKeys(const std::string& root) {
  ProgramRun run = runProgram(QV_PREFS_PATH, {"--root", root, "list"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::set<std::string> keys;
  std::istringstream lines(run.out);
  std::string line;
  std::getline(lines, line);  // the heading
  while (std::getline(lines, line) && !line.empty()) {
    std::string key = line.substr(0, line.find(' '));
    if (key != "staticColor") keys.insert(key);
  }
  return keys;
}

TEST_F(SettingsPane, OffersEverySettingWithTheLibrarysOwnDefault) {
  device("14.2");
  boot();
  qv::AutoreleasePool pool;
  ProgramRun run = runProgram(QV_PREFS_PATH, {"pane"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::set<std::string> offered;
  int switches = 0, sliders = 0;
  std::vector<id> cells = paneCells(run.out);
  for (size_t i = 0; i < cells.size(); i++) {
    id cell = cells[i];
    std::string kind = field(cell, "cell");
    if (kind != "PSSwitchCell" && kind != "PSSliderCell") continue;
    std::string key = field(cell, "key");
    offered.insert(key);
    std::optional<double> library;
    for (const host::LibraryStateValue& v : host::libraryState())
      if (v.name == key && v.kind != 'f') library = v.value;
    ASSERT_TRUE(library) << key << " is not a setting the library reads";
    double paneDefault = msgSend<double>(value(cell, "default"), SELECTOR("doubleValue"));
    if (kind == "PSSwitchCell") {
      switches++;
      EXPECT_EQ(paneDefault, *library) << key;
    } else {
      sliders++;
      EXPECT_EQ(static_cast<float>(paneDefault), static_cast<float>(*library)) << key;
      EXPECT_EQ(field(cell, "min"), "0");
      EXPECT_EQ(field(cell, "max"), "1");
      // A slider shows no label: the group header right above it carries it.
      EXPECT_EQ(field(cell, "label"), "");
      ASSERT_GT(i, 0u);
      EXPECT_EQ(field(cells[i - 1], "cell"), "PSGroupCell");
      EXPECT_EQ(field(cells[i - 1], "label"), "Icon Colour Opacity");
    }
  }
  EXPECT_EQ(switches, 20);
  EXPECT_EQ(sliders, 1);
  EXPECT_EQ(offered, listedKeys(root_));
}

TEST_F(SettingsPane, EachCellWritesItsDomainAndAnnouncesItsReload) {
  qv::AutoreleasePool pool;
  // No device root is needed to write the pane.
  ProgramRun run = runProgram(QV_PREFS_PATH, {"pane"});
  ASSERT_EQ(run.status, 0) << run.err;
  id pane = host::propertyListFromBytes(run.out);
  ASSERT_TRUE(pane);
  EXPECT_EQ(field(value(pane, "entry"), "cell"), "PSLinkCell");
  EXPECT_EQ(field(value(pane, "entry"), "label"), "Quorvel");
  EXPECT_EQ(field(value(pane, "entry"), "icon"), "Quorvel.png");
  std::set<std::string> labels;
  int colourCells = 0;
  for (id cell : paneCells(run.out)) {
    std::string kind = field(cell, "cell");
    EXPECT_TRUE(kind == "PSSliderCell" || labels.insert(field(cell, "label")).second)
        << "two cells are labelled " << field(cell, "label");
    if (kind == "PSGroupCell") continue;
    if (field(cell, "key") == "staticColor") {
      colourCells++;
      EXPECT_EQ(kind, "PSEditTextCell");
      EXPECT_EQ(field(cell, "defaults"), "com.vantrelo88.quorvel.color");
      EXPECT_EQ(field(cell, "PostNotification"), "com.vantrelo88.quorvel/ReloadColorPrefs");
    } else {
      EXPECT_EQ(field(cell, "defaults"), "com.vantrelo88.quorvel") << field(cell, "key");
      EXPECT_EQ(field(cell, "PostNotification"), "com.vantrelo88.quorvel/ReloadPrefs");
    }
  }
  EXPECT_EQ(colourCells, 1);
}

}  // namespace
}  // namespace qv::testing
