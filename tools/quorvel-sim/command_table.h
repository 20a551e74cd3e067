// Every command of the language, and how a line is matched to one.
#pragma once

#include <string>
#include <vector>

#include "command.h"

namespace qv::sim {

const std::vector<CommandEntry>& commandTable();
const CommandEntry* findCommand(const std::string& name);

// Sorts the words after the command name into arguments, options and flags, checking their
// number and names and that they are storable text; throws host::ScenarioError. `comment`: the
// comment that ended the line, named when an argument is missing.
Invocation bindArguments(const CommandEntry& entry, const std::vector<Token>& words, int line,
                         const std::string& comment = "");

// Runs one split, non-empty line: finds the command, checks that the home screen is in the
// right state for it, binds its words and runs it. Throws host::ScenarioError.
CommandResult runCommand(Session& session, const std::vector<Token>& tokens, int line,
                         const std::string& comment = "");

}  // namespace qv::sim
