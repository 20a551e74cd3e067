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
  object["line"] = line;
  object["command"] = command;
  object["ok"] = true;
  for (const auto& [key, value] : result.fields.items()) object[key] = value;
  out_ << host::jsonText(object) << std::endl;
}

void Reporter::error(int line, const std::string& command, const std::string& message) {
  err_ << "quorvel-sim: line " << line << ": " << message << std::endl;
  if (!json_) return;
  Json object = Json::object();
  object["line"] = line;
  object["command"] = command.empty() ? Json() : Json(command);
  object["ok"] = false;
  object["error"] = message;
  out_ << host::jsonText(object) << std::endl;
}

void Reporter::note(const std::string& text) {
  if (!json_) out_ << text << std::endl;
}

}  // namespace qv::sim
