// The picture file: alerts on top, the same bytes for the same screen, clear failures.
#include <filesystem>

#include "picture.h"

namespace qv::testing {
namespace {

class PictureFile : public RenderScenario {
 protected:
  int count(const Picture& p, const host::Box& box, bool (*test)(const Rgb&)) {
    int n = 0;
    p.forEachPixel(box, [&](int, int, const Rgb& c) { n += test(c); });
    return n;
  }
};

bool isRed(const Rgb& c) { return c.r > 200 && c.g < 110 && c.b < 110; }
bool isBlue(const Rgb& c) { return c.b > 200 && c.r < 60 && c.g < 160; }

TEST_F(PictureFile, AnAlertsDestructiveButtonIsRed) {
  addApp("com.example.mail", "#3080ff");
  boot();
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  Picture p(render());
  host::Box destructive = layoutBox(layout_.alertButtons, "Copy Bundle ID");
  host::Box cancel = layoutBox(layout_.alertButtons, "Nevermind");
  EXPECT_GT(count(p, destructive, isRed), 30);
  EXPECT_EQ(count(p, destructive, isBlue), 0);
  EXPECT_GT(count(p, cancel, isBlue), 30);
  EXPECT_EQ(count(p, cancel, isRed), 0);
  EXPECT_LT(cancel.x, destructive.x) << "buttons in the alert's order";
}

TEST_F(PictureFile, TheSameScreenGivesTheSameBytes) {
  lock({"com.example.maps"});
  addApp("com.example.mail", "#3080ff", 4);
  addApp("com.example.maps", "#34c759");
  boot();
  home().press("com.example.mail");
  std::string first = readBytes(render("first.png"));
  std::string second = readBytes(render("second.png"));
  EXPECT_GT(first.size(), 1000u);
  EXPECT_EQ(first, second);
  home().pick("Clear Badge");
  EXPECT_NE(readBytes(render("third.png")), first);
}

TEST_F(PictureFile, FailsClearlyBeforeBootAndOnAnUnwritablePath) {
  std::string error;
  EXPECT_FALSE(host::renderScreen(home(), root_ + "/early.png", &error));
  EXPECT_NE(error.find("boot"), std::string::npos) << error;
  addApp("com.example.mail", "#3080ff");
  boot();
  std::string missing = root_ + "/no/such/folder/shot.png";
  EXPECT_FALSE(host::renderScreen(home(), missing, &error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(PictureFile, JunkTextIsDrawnAsFarAsItCanBe) {
  // Bytes that are no UTF-8, an encoded NUL, a lone surrogate, and far too much text.
  AppSetup setup;
  setup.bundleID = "com.example.junk";
  setup.name = std::string("\xff\xfe bad \xc0\x80 \xed\xa0\x80 ") + std::string(5000, 'x');
  setup.badge = -123456789012;
  setup.iconColor = "#3080ff";
  home().addApp(setup);
  boot();
  Picture p(render());
  host::Box icon = layoutBox(layout_.icons, "com.example.junk");
  auto white = [](const Rgb& c) { return c.r > 200 && c.g > 200 && c.b > 200; };
  auto red = [](const Rgb& c) { return c.r > 200 && c.g < 110 && c.b < 110; };
  int label = 0, badge = 0;
  p.forEachPixel(host::Box{icon.x - 14, icon.bottom() + 4, icon.width + 28, 16},
                 [&](int, int, const Rgb& c) { label += white(c); });
  p.forEachPixel(host::Box{icon.right() - 52, icon.y - 8, 60, 22},
                 [&](int, int, const Rgb& c) { badge += red(c); });
  EXPECT_GT(label, 20);
  EXPECT_GT(badge, 100);
}

}  // namespace
}  // namespace qv::testing
