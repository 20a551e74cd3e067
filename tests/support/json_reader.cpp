#include "support/json_reader.h"

namespace qv::testing {

std::optional<host::Json> parseJson(const std::string& text) { return host::Json::parse(text); }

}  // namespace qv::testing
