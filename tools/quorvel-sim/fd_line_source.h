// Lines read from a descriptor that is not a terminal: a script file or a pipe.
#pragma once

#include <ostream>
#include <string>

#include "line_source.h"

namespace qv::sim {

class FdLineSource : public LineSource {
 public:
  // `fd` stays owned by the caller. Lines from `onWork` are written to `out`.
  FdLineSource(int fd, QueuedWorkHandler onWork, std::ostream& out)
      : fd_(fd), onWork_(std::move(onWork)), out_(out) {}

  std::optional<std::string> next() override;

 private:
  // Reads what is available; false at the end of the input.
  bool fill();

  int fd_;
  QueuedWorkHandler onWork_;
  std::ostream& out_;
  std::string buffer_;
  bool ended_ = false;
};

}  // namespace qv::sim
