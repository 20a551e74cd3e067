// Reading JSON text back into host::Json (nlohmann::json parses it), to check what quorvel-sim
// prints.
#pragma once

#include <optional>
#include <string>

#include "springboard/json.h"

namespace qv::testing {

// The value the whole text holds; nothing when it is not exactly one JSON value in UTF-8.
std::optional<host::Json> parseJson(const std::string& text);

}  // namespace qv::testing
