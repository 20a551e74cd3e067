#include "line_source.h"

#include <poll.h>

#include <cerrno>

#include "foundation/main_loop.h"

namespace qv::sim {

std::optional<std::string> TextLineSource::next() {
  if (at_ >= text_.size()) return std::nullopt;
  size_t end = text_.find('\n', at_);
  if (end == std::string::npos) end = text_.size();
  std::string line = text_.substr(at_, end - at_);
  at_ = end + 1;
  return line;
}

InputEvent waitForInput(int fd, const std::function<void()>& onWork) {
  for (;;) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {host::mainLoopWakeFd(), POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return InputEvent::Closed;
    }
    // Work first, so that a line typed after a notification sees its effect.
    if (fds[1].revents & POLLIN) onWork();
    if (fds[0].revents & POLLIN) return InputEvent::Readable;
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return InputEvent::Closed;
  }
}

}  // namespace qv::sim
