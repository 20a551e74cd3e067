// The settings pane's icon: a full-colour rounded square like the Settings app's own, with a
// white menu glyph (three rows of a quick-action menu).
#pragma once

#include <filesystem>
#include <string>

namespace qv::icons {

// Settings shows a row's icon at 29 points; the pane ships it at 1x, 2x and 3x.
constexpr int kPaneIconPoints = 29;
constexpr int kPaneIconScales[] = {1, 2, 3};

// The file name at a scale, as UIKit looks it up: "Quorvel.png", "Quorvel@2x.png", ...
std::string paneIconName(int scale);

// Draws the icon at `scale` into `file` (29 * scale pixels square). Returns an empty string on
// success, otherwise what went wrong.
std::string writePaneIcon(const std::filesystem::path& file, int scale);

}  // namespace qv::icons
