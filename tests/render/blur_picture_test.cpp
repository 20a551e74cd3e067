// Views whose layer carries the lock blur are drawn blurred: switcher cards of locked apps and
// the page of a locked app in front.
#include "picture.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

// How sharp a box is: the summed brightness steps between horizontal neighbours.
long edgeEnergy(const Picture& p, const host::Box& box) {
  long total = 0;
  int lastY = -1, last = 0;
  p.forEachPixel(box, [&](int, int y, const Rgb& c) {
    int luma = (299 * c.r + 587 * c.g + 114 * c.b) / 1000;
    if (y == lastY) total += std::abs(luma - last);
    lastY = y;
    last = luma;
  });
  return total;
}

class BlurPicture : public RenderScenario {
 protected:
  void bootTwoApps() {
    lock({"com.example.mail"});
    addApp("com.example.mail", "#2f7bf5");
    addApp("com.example.maps", "#2f7bf5");
    boot();
  }
};

TEST_F(BlurPicture, ALockedAppsCardHasNoSharpEdges) {
  bootTwoApps();
  home().bringToFront("com.example.mail");
  home().answerAuth(host::AuthAnswer::Cancel);
  home().bringToFront("com.example.maps");
  home().openSwitcher();
  Picture p(render());
  ASSERT_EQ(layout_.cards.size(), 2u);
  long locked = edgeEnergy(p, layoutBox(layout_.cardNames, "com.example.mail"));
  long open = edgeEnergy(p, layoutBox(layout_.cardNames, "com.example.maps"));
  EXPECT_GT(open, 2000) << "the open app's name is drawn sharp";
  EXPECT_LT(locked * 8, open) << locked << " vs " << open;
}

TEST_F(BlurPicture, TheFrontPageIsBlurredUntilAuthenticationClearsItsFilter) {
  bootTwoApps();
  home().bringToFront("com.example.mail");
  Picture blurred(render("blurred.png"));
  long before = edgeEnergy(blurred, layout_.pageName);
  home().answerAuth(host::AuthAnswer::Success);
  Picture sharp(render("sharp.png"));
  long after = edgeEnergy(sharp, layout_.pageName);
  EXPECT_GT(after, 2000);
  EXPECT_LT(before * 8, after) << before << " vs " << after;
}

}  // namespace
}  // namespace qv::testing
