// Splitting one command line into words.
#pragma once

#include <string>
#include <vector>

namespace qv::sim {

struct Token {
  std::string text;     // the whole word, quotes removed and escapes applied
  bool quoted = false;  // some part of it was in double quotes
  // "key=value" words: the key (unquoted, before the first unquoted '=') and the value.
  bool hasKey = false;
  std::string key;
  std::string value;
};

// A line that cannot be split: an unterminated quote.
struct TokenizeError {
  std::string message;
};

// Words are separated by blanks. Double quotes group blanks into a word; inside them a
// backslash before " or before another backslash makes it literal. A '#' that begins a word
// starts a comment running to the end of the line, unless the word is a colour, #RRGGBB or
// #RRGGBB:ALPHA; the comment, from its '#', goes to `comment` when given. Throws TokenizeError.
std::vector<Token> tokenizeLine(const std::string& line, std::string* comment = nullptr);

}  // namespace qv::sim
