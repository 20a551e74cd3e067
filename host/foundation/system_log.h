// The in-memory system log that NSLog writes to (and stderr too when QV_LOG_STDERR is set).
#pragma once

#include <string>
#include <vector>

namespace qv::host {

// The lines logged so far, oldest first; only the most recent kSystemLogCapacity are kept.
constexpr size_t kSystemLogCapacity = 10000;
std::vector<std::string> systemLogLines();
void clearSystemLog();

// Appends one line, as NSLog does once it has formatted it.
void appendSystemLog(const std::string& line);

}  // namespace qv::host
