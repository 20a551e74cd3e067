// Running commands line by line, from a script or typed at a prompt.
#pragma once

#include <string>

#include "command.h"
#include "line_source.h"
#include "output.h"

namespace qv::sim {

enum class InputMode {
  Script,       // stop at the first error
  Interactive,  // report errors and go on
};

// Runs one line (blank and comment lines do nothing); false when it failed, after reporting.
bool runLine(Session& session, Reporter& reporter, const std::string& line, int number);

// Runs every line of `in`. Returns the exit status: 1 when a script stopped at an error,
// else 0.
int runCommands(Session& session, Reporter& reporter, LineSource& in, InputMode mode);

}  // namespace qv::sim
