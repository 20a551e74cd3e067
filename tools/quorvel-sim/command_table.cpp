#include "command_table.h"

#include <algorithm>

#include "handlers.h"
#include "values.h"

namespace qv::sim {

using host::ScenarioError;

const std::vector<CommandEntry>& commandTable() {
  constexpr Phase Before = Phase::BeforeBoot, After = Phase::AfterBoot, Any = Phase::Any;
  // clang-format off
  static const std::vector<CommandEntry> table = {
    // name, usage, summary, phase, fewest and most arguments, options, flags, handler
    {"device", "device [os=VERSION] [cpu=arm64|arm64e] [without=IMAGE,...]",
     "the OS version the device reports, its processor, and images it lacks",
     Before, 0, 0, {"os", "cpu", "without"}, {}, runDevice},
    {"app", "app ID [name=NAME] [badge=N] [color=#RRGGBB | icon=FILE.png] [nowplaying] "
            "[nocontainer] [nosection] [shortcuts=\"A,B\"]", "install an app",
     Before, 1, 1, {"name", "badge", "color", "icon", "shortcuts"},
     {"nowplaying", "nocontainer", "nosection"}, runApp},
    {"folder", "folder NAME", "a folder icon", Before, 1, 1, {}, {}, runFolder},
    {"widget", "widget ID", "a widget icon", Before, 1, 1, {}, {}, runWidget},
    {"wallpaper", "wallpaper #RRGGBB | FILE.png", "the static wallpaper (after boot the host "
     "computes its average colour again)", Any, 1, 1, {}, {}, runWallpaper},
    {"setting", "setting KEY VALUE", "write a setting into the settings store",
     Any, 2, 2, {}, {}, runSetting},
    {"raw-setting", "raw-setting KEY VALUE", "write any key into the settings store, known or not",
     Any, 2, 2, {}, {}, runRawSetting},
    {"static-color", "static-color TEXT", "the colour list's staticColor entry",
     Any, 1, 1, {}, {}, runStaticColor},
    {"file", "file PATH CONTENT", "write raw content at a device path (behind the preferences "
     "daemon's back)", Any, 2, 2, {}, {}, runFile, true},
    {"prefsd", "prefsd status|restart", "the preferences daemon: what it has read, or a restart "
     "after which it reads every settings file again", Any, 1, 1, {}, {}, runPrefsd},
    {"boot", "boot", "load the library and finish launching", Before, 0, 0, {}, {}, runBoot},
    {"reload", "reload prefs|colors", "tell the library its settings changed",
     After, 1, 1, {}, {}, runReload},
    {"press", "press ID", "long-press an icon and show its menu", After, 1, 1, {}, {}, runPress},
    {"pick", "pick TITLE [n=N]", "choose an item of the open menu (n=: the Nth with that title)",
     After, 1, 1, {"n"}, {}, runPick},
    {"alert", "alert BUTTON", "tap a button of the alert on screen",
     After, 1, 1, {}, {}, runAlert},
    {"auth", "auth success|failure|cancel|error|success-with-error",
     "answer the oldest authentication prompt", After, 1, 1, {}, {}, runAuth},
    {"retry-auth", "retry-auth ID", "tap the app's blurred switcher page: it asks for "
     "authentication again (retryAuth)", After, 1, 1, {}, {}, runRetryAuth},
    {"front", "front ID", "bring an app to the front", After, 1, 1, {}, {}, runFront},
    {"switcher", "switcher", "open the app switcher", After, 0, 0, {}, {}, runSwitcher},
    {"search", "search ID", "open an app from the system search",
     After, 1, 1, {}, {}, runSearch},
    {"search-activity", "search-activity ID", "open an app's activity from the system search",
     After, 1, 1, {}, {}, runSearchActivity},
    {"layout", "layout", "lay every icon out again", After, 0, 0, {}, {}, runLayout},
    {"post", "post NAME", "post an in-process notification", After, 1, 1, {}, {}, runPost},
    {"style", "style light|dark", "the interface style", Any, 1, 1, {}, {}, runStyle},
    {"render", "render FILE.png", "draw the screen into a picture", After, 1, 1, {}, {}, runRender},
    {"dump", "dump", "the whole observable state as JSON", Any, 0, 0, {}, {}, runDump},
    {"say", "say TEXT", "print a line of text (a scenario's narration)", Any, 1, 1, {}, {}, runSay},
    {"help", "help", "this list", Any, 0, 0, {}, {}, runHelp},
  };
  // clang-format on
  return table;
}

const CommandEntry* findCommand(const std::string& name) {
  for (const CommandEntry& entry : commandTable()) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

namespace {

bool contains(const std::vector<std::string>& list, const std::string& word) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

ScenarioError usageError(const CommandEntry& entry, const std::string& problem) {
  return ScenarioError{std::string(entry.name) + ": " + problem + " (usage: " + entry.usage + ")"};
}

}  // namespace

Invocation bindArguments(const CommandEntry& entry, const std::vector<Token>& words, int line,
                         const std::string& comment) {
  Invocation inv;
  inv.entry = &entry;
  inv.line = line;
  const bool takesOptions = !entry.options.empty() || !entry.flags.empty();
  for (const Token& word : words) {
    if (word.hasKey && contains(entry.options, word.key)) {
      if (!inv.options.emplace(word.key, word.value).second) {
        throw usageError(entry, printable(word.key) + "= given twice");
      }
    } else if (word.hasKey && takesOptions) {
      throw usageError(entry, "unknown option " + printable(word.key) + "=");
    } else if (!word.quoted && contains(entry.flags, word.text)) {
      inv.flags.insert(word.text);
    } else if (inv.args.size() < entry.maxArgs) {
      inv.args.push_back(word);
    } else if (!entry.flags.empty() && !word.quoted) {
      throw usageError(entry, "unknown option " + printable(word.text));
    } else {
      throw usageError(entry, "unexpected argument \"" + printable(word.text) + "\"");
    }
  }
  if (inv.args.size() < entry.minArgs) {
    std::string problem = "missing argument";
    if (!comment.empty()) {
      problem += "; \"" + printable(comment) +
                 "\" was read as a comment (quote a word that starts with #)";
    }
    throw usageError(entry, problem);
  }
  for (size_t i = 0; i < inv.args.size(); i++) {
    bool bytes = entry.lastArgumentIsBytes && i + 1 == entry.maxArgs;
    if (!bytes) requireStorableText(entry.name, "the argument", inv.args[i].text);
  }
  for (const auto& [key, value] : inv.options) requireStorableText(entry.name, key + "=", value);
  return inv;
}

CommandResult runCommand(Session& session, const std::vector<Token>& tokens, int line,
                         const std::string& comment) {
  const std::string& name = tokens.front().text;
  const CommandEntry* entry = tokens.front().quoted ? nullptr : findCommand(name);
  if (!entry) throw ScenarioError{"unknown command \"" + printable(name) + "\" (try help)"};
  if (entry->phase == Phase::BeforeBoot && session.home.booted()) {
    throw ScenarioError{name + ": only before boot"};
  }
  if (entry->phase == Phase::AfterBoot && !session.home.booted()) {
    throw ScenarioError{name + ": boot first"};
  }
  Invocation inv = bindArguments(*entry, {tokens.begin() + 1, tokens.end()}, line, comment);
  return entry->run(session, inv);
}

}  // namespace qv::sim
