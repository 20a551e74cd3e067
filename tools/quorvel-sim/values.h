// Reading the values of command arguments. Each reader throws qv::host::ScenarioError with a
// message naming the command.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "springboard/json.h"
#include "tokenizer.h"

namespace qv::sim {

// The text with what a terminal or a JSON string cannot show plainly written as escapes: a
// NUL as \0, other control bytes and bytes that are not UTF-8 as \xHH.
std::string printable(const std::string& text);

// Identifiers and texts end up in NSStrings, property lists and JSON: they must be UTF-8
// without NUL. Throws host::ScenarioError naming `what` ("the argument", "name=") otherwise.
void requireStorableText(const std::string& command, const std::string& what,
                         const std::string& text);

// "#RRGGBB"; returned unchanged when well formed.
std::string readColour(const std::string& command, const std::string& text);

// A badge count: decimal digits only.
long readBadge(const std::string& command, const std::string& text);

// A count from 1, decimal digits only; `what` names the word in the message ("n=").
size_t readCount(const std::string& command, const std::string& what, const std::string& text);

// A settings value: true/false, a decimal number, or text (always text when quoted).
host::Json readSettingValue(const Token& token);

// A PNG on the real file system, relative to `base` unless absolute; its absolute path.
std::string readPngPath(const std::string& command, const std::string& text,
                        const std::filesystem::path& base);

// "A,B" -> {"A", "B"}, blanks around each part trimmed, empty parts dropped.
std::vector<std::string> splitList(const std::string& text);

}  // namespace qv::sim
