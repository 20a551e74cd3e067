// Palette PNG files (colour type 3), which cairo reads but cannot write.
#pragma once

#include <cstdint>
#include <string>

namespace qv::testing {

// Writes a w x h PNG whose every pixel is the one entry of its palette, the colour
// (red, green, blue); false when the file cannot be written.
bool writePalettePng(const std::string& path, int w, int h, uint8_t red, uint8_t green,
                     uint8_t blue);

}  // namespace qv::testing
