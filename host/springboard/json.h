// The JSON value `dump` reports: nlohmann's, with members in insertion order. Two rules keep its
// text as it has always been: whole numbers are stored as integers (`number`), and text is
// printed by `jsonText`.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace qv::host {

using Json = nlohmann::ordered_json;

// A double as a JSON number: whole numbers that a double holds exactly (to 2^53) become
// integers, so they print without a fraction ("3", not "3.0"); numbers that are not finite
// stay doubles, which print as null.
Json number(double value);

// Compact on one line, or indented by two spaces. Always valid JSON: text that is not UTF-8 has
// its bad bytes replaced by U+FFFD.
std::string jsonText(const Json& value, bool pretty = false);

}  // namespace qv::host
