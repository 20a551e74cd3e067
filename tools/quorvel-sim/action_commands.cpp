// Commands that act on the booted home screen; each reports what it changed.
#include <algorithm>
#include <functional>

#include "handlers.h"
#include "observe/state_dump.h"
#include "springboard/menu_presenter.h"
#include "tracked_run.h"
#include "values.h"

namespace qv::sim {

using host::Json;
using host::ScenarioError;

CommandResult withChanges(Session& session, const std::function<void()>& act) {
  std::vector<std::string> changes = runTracked(session, act);
  CommandResult result;
  Json list = Json::array();
  for (const std::string& c : changes) list.push_back(c);
  result.fields["changes"] = list;
  result.lines = changes.empty() ? std::vector<std::string>{"ok"} : changes;
  return result;
}

namespace {

// An installed app the system can still open.
void requireInstalledApp(Session& session, const std::string& command, const std::string& id) {
  const host::AppState* app = session.home.app(id);
  if (!app) throw ScenarioError{command + ": no app " + id};
  if (app->uninstalled) throw ScenarioError{command + ": " + id + " is uninstalled"};
}

// One of the words a command accepts.
size_t chooseWord(const std::string& command, const std::string& word,
                  const std::vector<std::string>& choices) {
  auto it = std::find(choices.begin(), choices.end(), word);
  if (it != choices.end()) return static_cast<size_t>(it - choices.begin());
  std::string list;
  for (const std::string& c : choices) list += (list.empty() ? "" : ", ") + c;
  throw ScenarioError{command + ": \"" + word + "\" is not one of " + list};
}

}  // namespace

CommandResult runReload(Session& session, const Invocation& inv) {
  bool colors = chooseWord("reload", inv.arg(0), {"prefs", "colors"}) == 1;
  return withChanges(session, [&] {
    if (colors) {
      session.home.reloadColors();
    } else {
      session.home.reloadPrefs();
    }
  });
}

CommandResult runPress(Session& session, const Invocation& inv) {
  const std::string& id = inv.arg(0);
  if (!session.home.icon(id)) throw ScenarioError{"press: no icon " + id + " on the home screen"};
  session.home.press(id);

  Json menu = host::menuJson(session.home);
  const host::MenuPresenter* presenter = session.home.menu();
  CommandResult result;
  if (menu.is_null()) {
    result.lines.push_back("no menu for " + id);
    result.fields["menu"] = Json();
    return result;
  }
  // A title that is not text (none given) is listed as empty.
  auto title = [](const Json& item) {
    const Json& t = item.at("title");
    return t.is_string() ? t.get<std::string>() : std::string();
  };
  // What the user can tap is listed; hidden rows are only named.
  std::vector<Json> shown;
  Json hidden = Json::array();
  std::string hiddenText;
  size_t index = 0;
  for (const Json& item : menu.at("items")) {
    if (presenter->itemHidden(index++)) {
      hidden.push_back(item.at("title"));
      hiddenText += (hiddenText.empty() ? "" : ", ") + ("\"" + title(item) + "\"");
    } else {
      shown.push_back(item);
    }
  }
  size_t width = 0;
  for (const Json& item : shown) width = std::max(width, title(item).size());
  std::string header = "menu for " + id + " (" + std::to_string(shown.size()) + " items";
  if (hidden.size() > 0) header += "; hidden, cannot be picked: " + hiddenText;
  result.lines.push_back(header + "):");
  Json items = Json::array();
  for (const Json& item : shown) {
    std::string line = "  " + title(item);
    const Json& subtitle = item.at("subtitle");
    if (subtitle.is_string()) {
      line.append(width - title(item).size() + 3, ' ');
      line += subtitle.get<std::string>();
    }
    result.lines.push_back(line);
    Json entry = Json::object();
    entry["title"] = item.at("title");
    entry["subtitle"] = subtitle;
    items.push_back(entry);
  }
  result.fields["menu"] = items;
  result.fields["hidden"] = hidden;
  return result;
}

// `n=N` picks the Nth item with the title, when two or more share it.
CommandResult runPick(Session& session, const Invocation& inv) {
  size_t occurrence = 0;
  if (auto n = inv.option("n")) {
    occurrence = readCount("pick", "n=", *n);
  }
  return withChanges(session, [&] { session.home.pick(inv.arg(0), occurrence); });
}

CommandResult runAlert(Session& session, const Invocation& inv) {
  return withChanges(session, [&] { session.home.tapAlert(inv.arg(0)); });
}

CommandResult runAuth(Session& session, const Invocation& inv) {
  static const std::vector<std::string> words = {"success", "failure", "cancel", "error",
                                                 "success-with-error"};
  static const host::AuthAnswer answers[] = {host::AuthAnswer::Success, host::AuthAnswer::Failure,
                                             host::AuthAnswer::Cancel, host::AuthAnswer::Error,
                                             host::AuthAnswer::SuccessWithError};
  host::AuthAnswer answer = answers[chooseWord("auth", inv.arg(0), words)];
  return withChanges(session, [&] { session.home.answerAuth(answer); });
}

CommandResult runFront(Session& session, const Invocation& inv) {
  requireInstalledApp(session, "front", inv.arg(0));
  return withChanges(session, [&] { session.home.bringToFront(inv.arg(0)); });
}

CommandResult runRetryAuth(Session& session, const Invocation& inv) {
  return withChanges(session, [&] { session.home.retryAuthentication(inv.arg(0)); });
}

CommandResult runSwitcher(Session& session, const Invocation&) {
  return withChanges(session, [&] { session.home.openSwitcher(); });
}

CommandResult runSearch(Session& session, const Invocation& inv) {
  requireInstalledApp(session, "search", inv.arg(0));
  return withChanges(session, [&] { session.home.searchOpen(inv.arg(0)); });
}

CommandResult runSearchActivity(Session& session, const Invocation& inv) {
  requireInstalledApp(session, "search-activity", inv.arg(0));
  return withChanges(session, [&] { session.home.searchOpenActivity(inv.arg(0)); });
}

CommandResult runLayout(Session& session, const Invocation&) {
  return withChanges(session, [&] { session.home.layoutIcons(); });
}

CommandResult runPost(Session& session, const Invocation& inv) {
  if (inv.arg(0).empty()) throw ScenarioError{"post: the name is empty"};
  return withChanges(session, [&] { session.home.post(inv.arg(0)); });
}

CommandResult runStyle(Session& session, const Invocation& inv) {
  // UIUserInterfaceStyle: 1 light, 2 dark.
  long style = static_cast<long>(chooseWord("style", inv.arg(0), {"light", "dark"})) + 1;
  if (!session.home.booted()) {
    session.home.setStyle(style);
    return {};
  }
  return withChanges(session, [&] { session.home.setStyle(style); });
}

}  // namespace qv::sim
