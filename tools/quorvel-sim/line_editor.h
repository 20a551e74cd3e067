// Command lines typed at a terminal, with line editing, history and Tab completion (libedit's
// readline interface, driven one character at a time so that the wait also covers the main
// queue).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "line_source.h"

namespace qv::sim {

class LineEditor : public LineSource {
 public:
  // The candidates for the word being typed, given the line before it (whose first word, the
  // command, is whole; the text after it may be cut short).
  using Completer = std::function<std::vector<std::string>(const std::string& before)>;

  // One editor at a time: libedit keeps its state globally.
  LineEditor(std::string prompt, Completer completer, QueuedWorkHandler onWork);
  ~LineEditor() override;
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Lines that are not blank go into the history.
  std::optional<std::string> next() override;

 private:
  static void lineDone(char* line);
  static char** complete(const char* text, int start, int end);
  static char* nextMatch(const char* text, int state);
  // Prints lines where the prompt was and draws the prompt and the typed text again.
  void showAbovePrompt(const std::vector<std::string>& lines);

  std::string prompt_;
  Completer completer_;
  QueuedWorkHandler onWork_;
  bool done_ = false;
  bool ended_ = false;
  std::string line_;
  std::vector<std::string> matches_;
  size_t nextMatch_ = 0;
};

}  // namespace qv::sim
