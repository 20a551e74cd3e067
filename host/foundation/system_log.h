// The in-memory system log that NSLog writes to (and stderr too when QV_LOG_STDERR is set).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::host {

// The lines logged so far, oldest first; only the most recent kSystemLogCapacity are kept.
constexpr size_t kSystemLogCapacity = 10000;
std::vector<std::string> systemLogLines();

// How many lines were ever logged (also those no longer kept).
uint64_t systemLogCount();

// The lines logged after the first `count` ever logged, as far as they are still kept, and
// how many of those are no longer kept.
struct SystemLogTail {
  std::vector<std::string> lines;
  uint64_t dropped = 0;
};
SystemLogTail systemLogSince(uint64_t count);
void clearSystemLog();

// Appends one line, as NSLog does once it has formatted it.
void appendSystemLog(const std::string& line);

}  // namespace qv::host
