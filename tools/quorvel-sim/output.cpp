#include "output.h"

namespace qv::sim {

using host::Json;

void Reporter::result(int line, const std::string& command, const CommandResult& result) {
  if (!json_) {
    for (const std::string& text : result.lines) out_ << text << '\n';
    out_.flush();
    return;
  }
  Json object = Json::object();
  object.set("line", line);
  object.set("command", command);
  object.set("ok", true);
  for (const auto& [key, value] : result.fields.members()) object.set(key, value);
  out_ << object.dump() << std::endl;
}

void Reporter::error(int line, const std::string& command, const std::string& message) {
  err_ << "quorvel-sim: line " << line << ": " << message << std::endl;
  if (!json_) return;
  Json object = Json::object();
  object.set("line", line);
  object.set("command", command.empty() ? Json() : Json(command));
  object.set("ok", false);
  object.set("error", message);
  out_ << object.dump() << std::endl;
}

void Reporter::note(const std::string& text) {
  if (!json_) out_ << text << std::endl;
}

}  // namespace qv::sim
