#include "action.h"

#include "failure.h"
#include "uikit/colour_text.h"

namespace qv::prefs {
namespace {

void requireArguments(const std::vector<std::string>& words, size_t fewest, size_t most,
                      const char* usage) {
  size_t given = words.size() - 1;
  if (given < fewest || given > most) {
    throw Failure{std::string(given < fewest ? "missing argument" : "too many arguments") +
                      " (usage: quorvel-prefs " + usage + ")",
                  Failure::Usage};
  }
}

// A settings key by name. App lists are named as such, since they live in the same file.
const SettingKey& settingKey(const std::string& name, const char* command) {
  if (const SettingKey* key = findSettingKey(name)) return *key;
  if (isAppListKey(name)) {
    throw Failure{name + " is an app list the library keeps itself; " + command +
                  " cannot change it"};
  }
  throw Failure{"unknown setting \"" + name + "\" (quorvel-prefs list shows them all)"};
}

}  // namespace

Action parseAction(const std::vector<std::string>& words) {
  if (words.empty()) throw Failure{"a command is needed", Failure::Usage};
  const std::string& command = words[0];
  Action action;
  if (command == "pane") {
    requireArguments(words, 0, 0, "pane");
    action.kind = Action::Kind::Pane;
  } else if (command == "list") {
    requireArguments(words, 0, 0, "list");
    action.kind = Action::Kind::List;
  } else if (command == "get") {
    requireArguments(words, 1, 1, "get KEY");
    if (isAppListKey(words[1])) {
      action.kind = Action::Kind::GetAppList;
      action.appList = words[1];
    } else {
      action.kind = Action::Kind::Get;
      action.key = &settingKey(words[1], "get");
    }
  } else if (command == "set") {
    requireArguments(words, 2, 2, "set KEY VALUE");
    action.kind = Action::Kind::Set;
    action.key = &settingKey(words[1], "set");
    action.value = requireSettingValue(*action.key, words[2]);
  } else if (command == "reset") {
    requireArguments(words, 0, 1, "reset [KEY]");
    action.kind = words.size() == 1 ? Action::Kind::ResetAll : Action::Kind::Reset;
    if (words.size() == 2) action.key = &settingKey(words[1], "reset");
  } else if (command == "color") {
    requireArguments(words, 2, 2, "color static TEXT");
    if (words[1] != "static") {
      throw Failure{"color: unknown colour \"" + words[1] + "\" (only static can be set)",
                    Failure::Usage};
    }
    if (!host::parseColourText(words[2])) {
      throw Failure{
          "staticColor takes a colour (#RRGGBB, #RRGGBB:ALPHA, rgb(R, G, B) or "
          "rgba(R, G, B, A)), not \"" +
          words[2] + "\""};
    }
    action.kind = Action::Kind::StaticColor;
    action.colourText = words[2];
  } else {
    throw Failure{"unknown command \"" + command + "\" (try --help)", Failure::Usage};
  }
  return action;
}

}  // namespace qv::prefs
