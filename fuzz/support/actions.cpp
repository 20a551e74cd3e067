#include "support/actions.h"

#include "runtime/object_refs.h"
#include "springboard/home_items.h"
#include "springboard/menu_presenter.h"
#include "support/device.h"
#include "uikit/auth_service.h"
#include "uikit/views.h"

namespace qv::fuzz {

using host::HomeScreen;
using host::ScenarioError;

std::vector<std::string> menuTitles(HomeScreen& home) {
  std::vector<std::string> titles;
  if (!home.menu() || !home.menu()->isOpen()) return titles;
  AutoreleasePool pool;
  for (id item : home.menu()->items()) titles.push_back(host::itemTitle(item));
  return titles;
}

std::vector<std::string> alertTitles(HomeScreen& home) {
  std::vector<std::string> titles;
  id alert = home.alertOnScreen();
  if (!alert) return titles;
  for (const auto& [title, style] : host::alertButtons(alert)) titles.push_back(title);
  return titles;
}

std::string chooseTitle(size_t choice, const std::vector<std::string>& choices,
                        const std::string& missing) {
  size_t index = choice % (choices.size() + 1);
  return index < choices.size() ? choices[index] : missing;
}

void pressIcon(HomeScreen& home, size_t choice) {
  try {
    home.press(chooseTitle(choice, fuzzIcons(), "com.example.missing"));
  } catch (const ScenarioError&) {
  }
}

void pickItem(HomeScreen& home, size_t choice) {
  try {
    home.pick(chooseTitle(choice, menuTitles(home), "Missing Item"));
  } catch (const ScenarioError&) {
  }
}

void tapAlert(HomeScreen& home, size_t choice) {
  try {
    home.tapAlert(chooseTitle(choice, alertTitles(home), "Missing Button"));
  } catch (const ScenarioError&) {
  }
}

void answerAuth(HomeScreen& home, size_t choice) {
  static const host::AuthAnswer kAnswers[] = {host::AuthAnswer::Success, host::AuthAnswer::Failure,
                                              host::AuthAnswer::Cancel, host::AuthAnswer::Error,
                                              host::AuthAnswer::SuccessWithError};
  try {
    home.answerAuth(kAnswers[choice % std::size(kAnswers)]);
  } catch (const ScenarioError&) {
  }
}

void quietScreen(HomeScreen& home, size_t choice) {
  for (int i = 0; i < 8; i++) {
    bool prompt = !host::pendingAuthentications().empty();
    std::vector<std::string> buttons = alertTitles(home);
    if (!prompt && buttons.empty()) break;
    if (prompt) answerAuth(home, choice + static_cast<size_t>(i));
    if (!buttons.empty()) tapAlert(home, (choice + static_cast<size_t>(i)) % buttons.size());
  }
  if (home.menu() && home.menu()->isOpen()) {
    AutoreleasePool pool;
    home.menu()->close();
    home.settle();
  }
}

}  // namespace qv::fuzz
