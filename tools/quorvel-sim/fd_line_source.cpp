#include "fd_line_source.h"

#include <unistd.h>

#include <cerrno>

namespace qv::sim {

std::optional<std::string> FdLineSource::next() {
  for (;;) {
    size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return line;
    }
    if (ended_ || !fill()) {
      ended_ = true;
      // A last line without its newline still counts.
      if (buffer_.empty()) return std::nullopt;
      std::string line;
      line.swap(buffer_);
      return line;
    }
  }
}

bool FdLineSource::fill() {
  auto work = [this] {
    for (const std::string& line : onWork_()) out_ << line << '\n';
    out_.flush();
  };
  if (waitForInput(fd_, work) == InputEvent::Closed) return false;
  char chunk[4096];
  for (;;) {
    ssize_t n = read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;  // standard input left non-blocking
    if (n <= 0) return false;
    buffer_.append(chunk, static_cast<size_t>(n));
    return true;
  }
}

}  // namespace qv::sim
