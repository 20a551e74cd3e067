// Renders a glyph onto a fresh transparent canvas and saves it as a PNG.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "glyphs.h"

namespace qv::icons {

// Draws on a transparent square canvas of `pixels` and saves it as a PNG. Returns an empty
// string on success, otherwise what went wrong.
std::string writePng(const std::filesystem::path& file, int pixels,
                     const std::function<void(cairo_t*)>& draw);

// Returns an empty string on success, otherwise what went wrong.
std::string writeIcon(const std::filesystem::path& file, Glyph glyph, const Pen& pen);

}  // namespace qv::icons
