// A long day on a crowded device: 1,000 apps, 10,000 menu presses and actions, 1,000 settings
// reloads from another process. Nothing crashes or leaks (the sanitizer build checks leaks at
// exit), memory stays bounded, and the lock list on disk ends as it is in memory.
#include <random>

#if defined(__SANITIZE_ADDRESS__)
// Declared by the sanitizer runtime; GCC installs no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "springboard/menu_presenter.h"
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer keeps freed blocks in quarantine (256 MB by default), so the resident size
// grows with every allocation; its count of live heap bytes is what can show a leak.
long memoryInUseKilobytes() {
  return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
}
#else
long memoryInUseKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
#endif

class Soak : public Scenario {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    device("14.2");
    for (int i = 0; i < 1000; i++) {
      AppSetup setup;
      setup.bundleID = "com.example.app" + std::to_string(i);
      setup.container = i % 10 == 0;
      setup.section = i % 3 != 0;
      if (i % 4 == 0) setup.badge = i % 7 + 1;
      if (i % 5 == 0) setup.shortcuts = {"Compose"};
      home().addApp(setup);
    }
    boot();
  }

  // One user action chosen by the generator.
  void step(std::mt19937& rng) {
    const auto& icons = home().icons();
    std::string target = icons[rng() % icons.size()].identifier;
    switch (rng() % 10) {
      case 0:
        home().bringToFront(target);
        break;
      case 1:
        home().openSwitcher();
        break;
      case 2:
        home().searchOpen(target);
        break;
      default: {
        home().press(target);
        std::vector<id> items = home().menu()->items();
        if (items.empty()) break;
        home().pick(host::itemTitle(items[rng() % items.size()]));
      }
    }
    if (id alert = home().alertOnScreen()) {
      auto buttons = host::alertButtons(alert);
      home().tapAlert(buttons[rng() % buttons.size()].first);
    }
    while (!host::pendingAuthentications().empty()) {
      home().answerAuth(rng() % 2 ? host::AuthAnswer::Success : host::AuthAnswer::Cancel);
    }
  }
};

TEST_F(Soak, ManyActionsAndReloadsLoseNoLockAndStayBounded) {
  const char* override = std::getenv("QV_SOAK_ITERATIONS");
  int iterations = override ? std::atoi(override) : 10000;
  pid_t reloader = spawnSelf({"QV_RELOAD_SETTINGS=1000", "QV_ROOT=" + root_});
  ASSERT_GT(reloader, 0);
  std::mt19937 rng(20261208);
  long warm = 0;
  for (int i = 0; i < iterations; i++) {
    AutoreleasePool pool;
    step(rng);
    if (i == iterations / 5) warm = memoryInUseKilobytes();
  }
  ASSERT_TRUE(waitForExit(reloader));
  home().settle();
  long end = memoryInUseKilobytes();
  RecordProperty("memoryGrowthKilobytes", std::to_string(end - warm));
  EXPECT_LT(end - warm, 64 * 1024) << "memory in use grew from " << warm << " kB to " << end;

  Json d = dump();
  EXPECT_EQ(d["settingsFile"]["lockedApps"].dump(), d["defaults"]["lockedApps"].dump());
  EXPECT_EQ(d["settingsFile"]["disableNotifications"].dump(),
            d["defaults"]["disableNotifications"].dump());
  EXPECT_EQ(d["settingsFile"]["disableBanners"].dump(), d["defaults"]["disableBanners"].dump());
  EXPECT_GT(d["defaults"]["lockedApps"].size(), 0u);
}

}  // namespace
}  // namespace qv::testing
