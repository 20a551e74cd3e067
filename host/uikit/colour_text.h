// The colour picker's text forms: "#RRGGBB" (optionally ":ALPHA", as in "#ff0000:0.50"),
// "rgb(r, g, b)" and "rgba(r, g, b, a)" with 0-255 components and an alpha from 0 to 1.
#pragma once

#include <optional>
#include <string_view>

namespace qv::host {

struct Rgba {
  double red, green, blue, alpha;
};

// The colour a text names, or nothing when it is none of the forms.
std::optional<Rgba> parseColourText(std::string_view text);

}  // namespace qv::host
