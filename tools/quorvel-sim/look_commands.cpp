// Commands that only look.
#include <filesystem>
#include <sstream>

#include "command_table.h"
#include "handlers.h"
#include "observe/state_dump.h"
#include "render/renderer.h"

namespace qv::sim {

using host::Json;

CommandResult runDump(Session& session, const Invocation&) {
  CommandResult result;
  Json state = host::dumpState(session.home);
  std::istringstream pretty(host::jsonText(state, true));
  for (std::string line; std::getline(pretty, line);) result.lines.push_back(line);
  result.fields["state"] = state;
  return result;
}

// The picture is a file of this computer; a relative name is taken from the current folder.
CommandResult runRender(Session& session, const Invocation& inv) {
  namespace fs = std::filesystem;
  const std::string& name = inv.arg(0);
  if (name.empty()) throw host::ScenarioError{"render: a file name is needed"};
  std::error_code ec;
  fs::path file = fs::absolute(name, ec);
  if (ec) throw host::ScenarioError{"render: cannot use " + name + ": " + ec.message()};
  if (fs::is_directory(file, ec)) throw host::ScenarioError{"render: " + name + " is a folder"};
  std::string error;
  if (!host::renderScreen(session.home, file.string(), &error)) {
    throw host::ScenarioError{"render: " + error};
  }
  CommandResult result;
  result.lines.push_back("wrote " + file.string());
  result.fields["file"] = file.string();
  return result;
}

// Words for whoever reads the output, as a scenario tells its story.
CommandResult runSay(Session&, const Invocation& invocation) {
  CommandResult result;
  result.lines.push_back(invocation.arg(0));
  result.fields["text"] = invocation.arg(0);
  return result;
}

CommandResult runHelp(Session&, const Invocation&) {
  // The usage, then what it does: beside it when the usage is short, else below it.
  constexpr size_t kColumn = 30;
  CommandResult result;
  Json list = Json::array();
  for (const CommandEntry& entry : commandTable()) {
    std::string line = "  " + std::string(entry.usage);
    if (line.size() + 2 <= kColumn) {
      line.append(kColumn - line.size(), ' ');
      result.lines.push_back(line + entry.summary);
    } else {
      result.lines.push_back(line);
      result.lines.push_back(std::string(kColumn, ' ') + entry.summary);
    }
    list.push_back(entry.usage);
  }
  result.fields["commands"] = list;
  return result;
}

}  // namespace qv::sim
