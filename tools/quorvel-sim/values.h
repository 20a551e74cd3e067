// Reading the values of command arguments. Each reader throws qv::host::ScenarioError with a
// message naming the command.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "springboard/json.h"
#include "tokenizer.h"

namespace qv::sim {

// "#RRGGBB"; returned unchanged when well formed.
std::string readColour(const std::string& command, const std::string& text);

// A badge count: decimal digits only.
long readBadge(const std::string& command, const std::string& text);

// A settings value: true/false, a decimal number, or text (always text when quoted).
host::Json readSettingValue(const Token& token);

// A PNG on the real file system, relative to `base` unless absolute; its absolute path.
std::string readPngPath(const std::string& command, const std::string& text,
                        const std::filesystem::path& base);

// "A,B" -> {"A", "B"}, blanks around each part trimmed, empty parts dropped.
std::vector<std::string> splitList(const std::string& text);

}  // namespace qv::sim
