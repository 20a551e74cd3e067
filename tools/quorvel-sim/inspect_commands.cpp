// Commands that only look.
#include <sstream>

#include "command_table.h"
#include "handlers.h"

namespace qv::sim {

using host::Json;

CommandResult runDump(Session& session, const Invocation&) {
  CommandResult result;
  Json state = session.home.dump();
  std::istringstream pretty(state.dump(true));
  for (std::string line; std::getline(pretty, line);) result.lines.push_back(line);
  result.fields.set("state", state);
  return result;
}

CommandResult runHelp(Session&, const Invocation&) {
  // The usage, then what it does: beside it when the usage is short, else below it.
  constexpr size_t kColumn = 30;
  CommandResult result;
  Json list = Json::array();
  for (const CommandSpec& spec : commandTable()) {
    std::string line = "  " + std::string(spec.usage);
    if (line.size() + 2 <= kColumn) {
      line.append(kColumn - line.size(), ' ');
      result.lines.push_back(line + spec.summary);
    } else {
      result.lines.push_back(line);
      result.lines.push_back(std::string(kColumn, ' ') + spec.summary);
    }
    list.push(spec.usage);
  }
  result.fields.set("commands", list);
  return result;
}

}  // namespace qv::sim
