// Renders a glyph onto a fresh transparent canvas and saves it as a PNG.
#pragma once

#include <filesystem>
#include <string>

#include "glyphs.h"

namespace qv::icons {

// Returns an empty string on success, otherwise what went wrong.
std::string writeIcon(const std::filesystem::path& file, Glyph glyph, const Pen& pen);

}  // namespace qv::icons
