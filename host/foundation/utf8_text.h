// Whether bytes are well-formed UTF-8, as text read from files must be before it becomes a
// string.
#pragma once

#include <string_view>

namespace qv::host {

// True for well-formed UTF-8: no stray continuation bytes, no truncated sequences, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

}  // namespace qv::host
