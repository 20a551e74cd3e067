#include "completion.h"

#include "command_table.h"
#include "schema/settings_schema.h"

namespace qv::sim {
namespace {

std::string firstWord(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  size_t end = text.find_first_of(" \t", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> appIdentifiers(const Session& session) {
  std::vector<std::string> out;
  for (const host::AppState& app : session.home.apps()) out.push_back(app.setup.bundleID);
  return out;
}

}  // namespace

std::vector<std::string> completionCandidates(const Session& session, const std::string& before) {
  std::string command = firstWord(before);
  if (command.empty()) {
    std::vector<std::string> names;
    for (const CommandEntry& entry : commandTable()) names.push_back(entry.name);
    return names;
  }
  if (command == "reload") return {"prefs", "colors"};
  if (command == "style") return {"light", "dark"};
  if (command == "prefsd") return {"status", "restart"};
  if (command == "setting") {
    std::vector<std::string> keys;
    for (const prefs::SettingKey& key : prefs::settingKeys()) keys.push_back(key.name);
    return keys;
  }
  if (command == "auth") return {"success", "failure", "cancel", "error", "success-with-error"};
  if (command == "press") {
    // Folders and widgets can be pressed too.
    std::vector<std::string> ids = appIdentifiers(session);
    for (const host::IconEntry& icon : session.home.icons()) {
      if (icon.kind != host::IconEntry::Kind::App) ids.push_back(icon.identifier);
    }
    return ids;
  }
  return appIdentifiers(session);
}

}  // namespace qv::sim
