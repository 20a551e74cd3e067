// Filtering of the host's own home-screen items by hideEdit, hideDelete and hideShare.
#include "foundation/system_log.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

using host::makeBool;
using ItemFilter = Scenario;

const std::string kRearrange =
    "com.apple.springboardhome.application-shortcut-item.rearrange-icons";
const std::string kRemove = "com.apple.springboardhome.application-shortcut-item.remove-app";
const std::string kDelete = "com.apple.springboardhome.application-shortcut-item.delete-app";
const std::string kShare = "com.apple.springboardhome.application-shortcut-item.share";

// Hands the icon view a list through the host's setter and returns what reached the host.
std::vector<std::string> setItems(HomeScreen& home, const std::vector<std::string>& types) {
  AutoreleasePool pool;
  std::vector<id> items;
  for (const std::string& t : types) items.push_back(host::makeShortcutItem(t, t));
  id iconView = home.app("com.example.mail")->iconView;
  msgSend<void>(iconView, sel_registerName("setApplicationShortcutItems:"), host::makeArray(items));
  std::vector<std::string> out;
  for (id item :
       host::arrayItems(msgSend<id>(iconView, sel_registerName("_homeScreenShortcutItems")))) {
    out.push_back(host::itemType(item));
  }
  return out;
}

std::vector<std::string> passedOn(const Json& d) {
  std::vector<std::string> out;
  for (const Json& t : d["menu"]["hostItemsPassedOn"].items()) out.push_back(t.asString());
  return out;
}

TEST_F(ItemFilter, DefaultsHideOnlyTheShareItemInVersion14) {
  device("14.2");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  EXPECT_EQ(passedOn(dump()), (std::vector<std::string>{kRearrange, kRemove}));
}

TEST_F(ItemFilter, DefaultsHideOnlyTheShareItemInVersion13) {
  device("13.5");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  EXPECT_EQ(passedOn(dump()), (std::vector<std::string>{kRearrange, kDelete}));
}

TEST_F(ItemFilter, Version14PassesOnlyHomeScreenItemsThatAreNotHidden) {
  writeSettings({{"hideShare", makeBool(false)}});
  device("14.2");
  app("com.example.mail");
  boot();
  EXPECT_EQ(setItems(home(), {"com.example.mail.compose", kShare, kRearrange, kDelete, kRemove}),
            (std::vector<std::string>{kShare, kRearrange, kRemove}));

  home().writeSetting("hideShare", true);
  home().writeSetting("hideEdit", true);
  home().writeSetting("hideDelete", true);
  home().reloadPrefs();
  EXPECT_TRUE(setItems(home(), {kRearrange, kRemove, kShare}).empty());
}

TEST_F(ItemFilter, Version13KeepsOtherItemsInPlaceAndKnowsOnlyTheDeleteType) {
  writeSettings({{"hideDelete", makeBool(true)}, {"hideEdit", makeBool(true)}});
  device("13.5");
  app("com.example.mail");
  boot();
  EXPECT_EQ(
      setItems(home(), {"com.example.mail.compose", kDelete, kRemove, kRearrange, kShare, "other"}),
      (std::vector<std::string>{"com.example.mail.compose", kRemove, "other"}));
}

// Each switch hides its own item and no other: one on, the other two off. `items` are the
// family's rearrange, remove-or-delete and share items.
void expectEachSwitchHidesItsOwnItemAlone(HomeScreen& home, const std::vector<std::string>& items) {
  const char* const keys[] = {"hideEdit", "hideDelete", "hideShare"};
  for (size_t on = 0; on < 3; on++) {
    SCOPED_TRACE(keys[on]);
    for (size_t k = 0; k < 3; k++) home.writeSetting(keys[k], k == on);
    home.reloadPrefs();
    std::vector<std::string> kept;
    for (size_t k = 0; k < 3; k++) {
      if (k != on) kept.push_back(items[k]);
    }
    EXPECT_EQ(setItems(home, items), kept);
  }
}

TEST_F(ItemFilter, EachSwitchHidesItsOwnItemAloneInVersion14) {
  device("14.2");
  app("com.example.mail");
  boot();
  expectEachSwitchHidesItsOwnItemAlone(home(), {kRearrange, kRemove, kShare});
}

TEST_F(ItemFilter, EachSwitchHidesItsOwnItemAloneInVersion13) {
  device("13.5");
  app("com.example.mail");
  boot();
  expectEachSwitchHidesItsOwnItemAlone(home(), {kRearrange, kDelete, kShare});
}

TEST_F(ItemFilter, AMissingListBecomesAnEmptyOne) {
  device("14.2");
  app("com.example.mail");
  boot();
  id iconView = home().app("com.example.mail")->iconView;
  msgSend<void>(iconView, sel_registerName("setApplicationShortcutItems:"), static_cast<id>(nil));
  id given = msgSend<id>(iconView, sel_registerName("_homeScreenShortcutItems"));
  ASSERT_NE(given, nil);
  EXPECT_TRUE(host::arrayItems(given).empty());
}

TEST_F(ItemFilter, Version14LogsEveryGivenItemsTypeWhateverTheSwitches) {
  device("14.2");
  app("com.example.mail");
  boot();
  host::clearSystemLog();
  setItems(home(), {kShare, "custom"});
  EXPECT_EQ(host::systemLogLines(),
            (std::vector<std::string>{"Product:- " + kShare, "Product:- custom"}));
}

TEST_F(ItemFilter, Version13WritesNoLogLine) {
  device("13.5");
  app("com.example.mail");
  boot();
  host::clearSystemLog();
  setItems(home(), {kShare, "custom"});
  EXPECT_TRUE(host::systemLogLines().empty());
}

}  // namespace
}  // namespace qv::testing
