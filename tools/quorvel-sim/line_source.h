// Where a session's command lines come from. While a source waits for a line it keeps the
// home screen alive: work queued on the main queue meanwhile (a notification from another
// process, such as the settings program's reload) runs at once, and what it changed is shown.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv::sim {

// Runs the queued work; returns lines to show (none: nothing to say).
using QueuedWorkHandler = std::function<std::vector<std::string>()>;

class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next line without its end, or nothing at the end of the input.
  virtual std::optional<std::string> next() = 0;
};

// The lines of a text held in memory.
class TextLineSource : public LineSource {
 public:
  explicit TextLineSource(std::string text) : text_(std::move(text)) {}
  std::optional<std::string> next() override;

 private:
  std::string text_;
  size_t at_ = 0;
};

enum class InputEvent { Readable, Closed };

// Waits until `fd` can be read, calling `onWork` each time the main queue has work meanwhile.
InputEvent waitForInput(int fd, const std::function<void()>& onWork);

}  // namespace qv::sim
