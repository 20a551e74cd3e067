// Loads a library into the process the way the substrate does: its initialisers run at load.
#pragma once

#include <string>

namespace qv {

// dlopen()s `path` with every symbol resolved at once; returns false and fills `error`
// when it cannot be loaded.
bool loadLibrary(const std::string& path, std::string* error);

}  // namespace qv
