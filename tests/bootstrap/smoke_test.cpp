#include "support/scenario.h"

namespace qv::testing {
namespace {

using SmokeTest = Scenario;

TEST_F(SmokeTest, Boots14AndShowsMenu) {
  device("14.2");
  app("com.example.mail", 3);
  boot();
  home().press("com.example.mail");
  Json d = dump();
  std::cout << d.dump(true) << std::endl;
}

}  // namespace
}  // namespace qv::testing
