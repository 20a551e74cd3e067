// Printing what each command did: short text for a person, or one JSON object per command.
#pragma once

#include <ostream>
#include <string>

#include "command.h"

namespace qv::sim {

class Reporter {
 public:
  Reporter(bool json, std::ostream& out, std::ostream& err) : json_(json), out_(out), err_(err) {}

  // Text: the result's lines. JSON: {"line":N,"command":C,"ok":true, ...fields}.
  void result(int line, const std::string& command, const CommandResult& result);
  // "quorvel-sim: line N: MESSAGE" on the error stream; in JSON mode also
  // {"line":N,"command":C,"ok":false,"error":MESSAGE} on the output.
  void error(int line, const std::string& command, const std::string& message);
  // A line of text outside any command (text mode only).
  void note(const std::string& text);

  bool json() const { return json_; }

 private:
  bool json_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace qv::sim
