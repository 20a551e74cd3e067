#include "tokenizer.h"

#include <cctype>

namespace qv::sim {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "#RRGGBB" or "#RRGGBB:ALPHA" (ALPHA a decimal number) followed by a blank or the end: a
// colour, not a comment.
bool colourWordAt(const std::string& line, size_t i) {
  if (i + 7 > line.size()) return false;
  for (size_t k = i + 1; k < i + 7; k++) {
    if (!std::isxdigit(static_cast<unsigned char>(line[k]))) return false;
  }
  size_t end = i + 7;
  if (end < line.size() && line[end] == ':') {
    size_t digits = 0;
    for (end++; end < line.size() &&
                (std::isdigit(static_cast<unsigned char>(line[end])) || line[end] == '.');
         end++) {
      digits++;
    }
    if (digits == 0) return false;
  }
  return end == line.size() || isBlank(line[end]);
}

bool isKeyChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

}  // namespace

std::vector<Token> tokenizeLine(const std::string& line, std::string* comment) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (true) {
    while (i < line.size() && isBlank(line[i])) i++;
    if (i >= line.size()) break;
    if (line[i] == '#' && !colourWordAt(line, i)) {
      if (comment) *comment = line.substr(i);
      break;
    }

    Token token;
    bool keyPossible = true;  // no quote seen yet, and every character so far fits a key
    while (i < line.size() && !isBlank(line[i])) {
      char c = line[i];
      if (c == '"') {
        token.quoted = true;
        keyPossible = false;
        i++;
        bool closed = false;
        while (i < line.size()) {
          char q = line[i];
          if (q == '"') {
            closed = true;
            i++;
            break;
          }
          if (q == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
            q = line[i + 1];
            i++;
          }
          token.text += q;
          i++;
        }
        if (!closed) throw TokenizeError{"unterminated quote"};
        continue;
      }
      if (c == '=' && keyPossible && !token.hasKey && !token.text.empty()) {
        token.hasKey = true;
        token.key = token.text;
      } else if (keyPossible && !token.hasKey && !isKeyChar(c)) {
        keyPossible = false;
      }
      token.text += c;
      i++;
    }
    if (token.hasKey) token.value = token.text.substr(token.key.size() + 1);
    tokens.push_back(std::move(token));
  }
  return tokens;
}

}  // namespace qv::sim
