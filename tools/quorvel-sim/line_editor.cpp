#include "line_editor.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// After the standard headers: it relies on FILE and friends being declared.
#include <editline/readline.h>

namespace qv::sim {
namespace {

LineEditor* gActive = nullptr;

}  // namespace

LineEditor::LineEditor(std::string prompt, Completer completer, QueuedWorkHandler onWork)
    : prompt_(std::move(prompt)), completer_(std::move(completer)), onWork_(std::move(onWork)) {
  gActive = this;
  rl_readline_name = "quorvel-sim";
  rl_attempted_completion_function = complete;
  using_history();
}

LineEditor::~LineEditor() {
  rl_attempted_completion_function = nullptr;
  gActive = nullptr;
}

std::optional<std::string> LineEditor::next() {
  done_ = ended_ = false;
  line_.clear();
  rl_callback_handler_install(prompt_.c_str(), lineDone);
  auto work = [this] {
    std::vector<std::string> lines = onWork_();
    if (!lines.empty()) showAbovePrompt(lines);
  };
  while (!done_ && !ended_) {
    if (waitForInput(STDIN_FILENO, work) == InputEvent::Closed) {
      ended_ = true;
      break;
    }
    rl_callback_read_char();
  }
  rl_callback_handler_remove();
  if (ended_) {
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return std::nullopt;
  }
  if (line_.find_first_not_of(" \t") != std::string::npos) add_history(line_.c_str());
  return line_;
}

void LineEditor::lineDone(char* line) {
  if (!gActive) return;
  if (line) {
    gActive->line_ = line;
    gActive->done_ = true;
    std::free(line);
  } else {
    gActive->ended_ = true;  // end of input (Ctrl-D on an empty line)
  }
}

char** LineEditor::complete(const char* text, int start, int) {
  rl_attempted_completion_over = 1;  // never fall back to file names
  if (!gActive) return nullptr;
  // libedit copies one character less than asked and leaves an empty copy unterminated, but
  // the word before a separator always arrives whole.
  std::string before;
  if (start > 0) {
    if (char* copy = rl_copy_text(0, start)) {
      before = copy;
      std::free(copy);
    }
  }
  gActive->matches_ = gActive->completer_(before);
  gActive->nextMatch_ = 0;
  return rl_completion_matches(text, nextMatch);
}

char* LineEditor::nextMatch(const char* text, int) {
  if (!gActive) return nullptr;
  const size_t length = std::strlen(text);
  std::vector<std::string>& matches = gActive->matches_;
  while (gActive->nextMatch_ < matches.size()) {
    const std::string& candidate = matches[gActive->nextMatch_++];
    if (candidate.compare(0, length, text) == 0) return strdup(candidate.c_str());
  }
  return nullptr;
}

void LineEditor::showAbovePrompt(const std::vector<std::string>& lines) {
  // Back to the start of the prompt's line and clear it, so the lines take its place.
  std::fputs("\r\033[K", stdout);
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  rl_forced_update_display();
}

}  // namespace qv::sim
