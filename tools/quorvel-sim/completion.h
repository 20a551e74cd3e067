// What Tab offers at the prompt: command names for the first word, then the words the
// command takes (identifiers of the session's apps and icons, or its fixed choices).
#pragma once

#include <string>
#include <vector>

#include "command.h"

namespace qv::sim {

// The candidates for the word being typed, given the text of the line before that word (only
// its first word, the command, is read). Not filtered by what the word already holds.
std::vector<std::string> completionCandidates(const Session& session, const std::string& before);

}  // namespace qv::sim
