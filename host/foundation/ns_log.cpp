// NSLog and the system log it writes to.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "foundation/foundation_internal.h"
#include "foundation/ns_log.h"
#include "foundation/object_format.h"
#include "foundation/system_log.h"
#include "platform/ns_functions.h"

namespace qv::host {
namespace {

struct SystemLog {
  std::mutex lock;
  std::deque<std::string> lines;  // the last of those ever logged
  uint64_t total = 0;             // lines ever logged
};

SystemLog& systemLog() {
  static SystemLog* log = new SystemLog();  // other threads may log while the process exits
  return *log;
}

}  // namespace

void appendSystemLog(const std::string& line) {
  SystemLog& log = systemLog();
  {
    std::lock_guard<std::mutex> guard(log.lock);
    log.lines.push_back(line);
    log.total++;
    while (log.lines.size() > kSystemLogCapacity) log.lines.pop_front();
  }
  if (std::getenv("QV_LOG_STDERR")) {
    bool newline = line.empty() || line.back() != '\n';
    std::fprintf(stderr, "%s%s", line.c_str(), newline ? "\n" : "");
  }
}

std::vector<std::string> systemLogLines() {
  SystemLog& log = systemLog();
  std::lock_guard<std::mutex> guard(log.lock);
  return {log.lines.begin(), log.lines.end()};
}

uint64_t systemLogCount() {
  SystemLog& log = systemLog();
  std::lock_guard<std::mutex> guard(log.lock);
  return log.total;
}

SystemLogTail systemLogSince(uint64_t count) {
  SystemLog& log = systemLog();
  std::lock_guard<std::mutex> guard(log.lock);
  uint64_t firstKept = log.total - log.lines.size();
  SystemLogTail tail;
  if (count < firstKept) {
    tail.dropped = firstKept - count;
    count = firstKept;
  }
  auto from = log.lines.begin() +
              static_cast<long>(std::min<uint64_t>(count - firstKept, log.lines.size()));
  tail.lines.assign(from, log.lines.end());
  return tail;
}

void clearSystemLog() {
  SystemLog& log = systemLog();
  std::lock_guard<std::mutex> guard(log.lock);
  log.lines.clear();
}

}  // namespace qv::host

extern "C" void NSLogv(id format, va_list args) {
  qv::AutoreleasePool pool;
  std::string text = qv::host::stdString(format);
  std::string line = format ? qv::host::formatObjects(text.c_str(), args) : "(null)";
  qv::host::appendSystemLog(line);
}

extern "C" void NSLog(id format, ...) {
  va_list args;
  va_start(args, format);
  NSLogv(format, args);
  va_end(args);
}
