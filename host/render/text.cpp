// Text through cairo's toy API in DejaVu Sans: measuring, shortening, wrapping.
#include <cmath>
#include <cstdint>

#include "render/render_internal.h"

namespace qv::host::render {

namespace {

// Longer texts are cut before measuring; no line of the picture holds this much.
constexpr size_t kMaxBytes = 512;

// The length of the well-formed UTF-8 sequence at `i` (as cairo accepts it), or 0.
size_t sequenceLength(const std::string& text, size_t i) {
  auto c = static_cast<unsigned char>(text[i]);
  size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : (c >> 3) == 0x1e ? 4 : 0;
  if (len == 0 || i + len > text.size()) return 0;
  uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1f) : len == 3 ? (c & 0x0f) : (c & 0x07);
  for (size_t k = 1; k < len; k++) {
    auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xc0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3f);
  }
  static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[len] || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return 0;
  return len;
}

// Valid UTF-8 (cairo refuses anything else): each bad byte becomes '?', control characters
// blanks; at most kMaxBytes.
std::string cleanUtf8(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size() && out.size() < kMaxBytes) {
    size_t len = sequenceLength(text, i);
    if (len == 0) {
      out += '?';
      i++;
    } else if (len == 1) {
      auto c = static_cast<unsigned char>(text[i++]);
      out += c < 0x20 || c == 0x7f ? ' ' : static_cast<char>(c);
    } else {
      out.append(text, i, len);
      i += len;
    }
  }
  return out;
}

// Removes the last code point.
void dropLast(std::string& s) {
  while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xc0) == 0x80) s.pop_back();
  if (!s.empty()) s.pop_back();
}

void selectFont(cairo_t* cr, const TextStyle& style) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, style.size > 0 && std::isfinite(style.size) ? style.size : 13);
}

double advance(cairo_t* cr, const std::string& clean) {
  cairo_text_extents_t ext;
  cairo_text_extents(cr, clean.c_str(), &ext);
  return ext.x_advance;
}

// The clean text, shortened with an ellipsis until it fits `width`.
std::string fitted(cairo_t* cr, const std::string& clean, double width) {
  if (advance(cr, clean) <= width) return clean;
  std::string s = clean;
  while (!s.empty()) {
    dropLast(s);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    std::string candidate = s + "\u2026";
    if (advance(cr, candidate) <= width) return candidate;
  }
  return "";
}

}  // namespace

double textWidth(cairo_t* cr, const std::string& text, const TextStyle& style) {
  cairo_save(cr);
  selectFont(cr, style);
  double w = advance(cr, cleanUtf8(text));
  cairo_restore(cr);
  return w;
}

Box drawText(cairo_t* cr, const std::string& text, double x, double baseline, double width,
             const TextStyle& style, double alpha) {
  if (text.empty() || width <= 0) return {};
  cairo_save(cr);
  selectFont(cr, style);
  std::string line = fitted(cr, cleanUtf8(text), width);
  double w = advance(cr, line);
  double left = style.align == Align::Left     ? x
                : style.align == Align::Centre ? x + (width - w) / 2
                                               : x + width - w;
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  cairo_move_to(cr, left, baseline);
  double a = style.colour.alpha * alpha;
  cairo_set_source_rgba(cr, style.colour.red, style.colour.green, style.colour.blue,
                        a < 0   ? 0
                        : a > 1 ? 1
                                : a);
  cairo_show_text(cr, line.c_str());
  cairo_restore(cr);
  return {left, baseline - font.ascent, w, font.ascent + font.descent};
}

std::vector<std::string> wrapText(cairo_t* cr, const std::string& text, double width,
                                  const TextStyle& style, size_t maxLines) {
  std::vector<std::string> lines;
  cairo_save(cr);
  selectFont(cr, style);
  std::string rest = cleanUtf8(text);
  while (lines.size() < maxLines) {
    size_t start = rest.find_first_not_of(' ');
    if (start == std::string::npos) break;
    rest.erase(0, start);
    // The last line allowed takes whatever is left.
    if (lines.size() + 1 == maxLines || advance(cr, rest) <= width) {
      lines.push_back(fitted(cr, rest, width));
      break;
    }
    // The longest run of whole words that fits; a first word too long goes alone, shortened.
    size_t cut = std::string::npos;
    for (size_t pos = rest.find(' '); pos != std::string::npos; pos = rest.find(' ', pos + 1)) {
      if (advance(cr, rest.substr(0, pos)) > width) break;
      cut = pos;
    }
    if (cut == std::string::npos) cut = rest.find(' ');
    if (cut == std::string::npos) cut = rest.size();
    lines.push_back(fitted(cr, rest.substr(0, cut), width));
    rest.erase(0, cut);
  }
  cairo_restore(cr);
  return lines;
}

}  // namespace qv::host::render
