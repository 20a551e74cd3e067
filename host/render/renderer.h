// A picture of the simulated screen, drawn from the host's own view objects and whatever the
// library set on them: colours, alphas, hidden flags, corner radii, filters, images, labels.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "springboard/home_screen.h"

namespace qv::host {

// A rectangle in points (the picture is kPictureScale pixels per point).
struct Box {
  double x = 0, y = 0, width = 0, height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  double right() const { return x + width; }
  double bottom() const { return y + height; }
};

constexpr double kScreenWidth = 390;
constexpr double kScreenHeight = 844;
constexpr double kPictureScale = 2;
// How much of an icon its accessibility tint covers at the tint's full alpha.
constexpr double kIconTintStrength = 0.5;

// Where a picture put things, in points.
struct RenderedLayout {
  std::vector<std::pair<std::string, Box>> icons;      // icon images, by identifier
  Box menu;                                            // the actions list, group or platter
  std::vector<Box> menuRows;                           // the rows drawn, in order
  std::vector<std::pair<std::string, Box>> cards;      // switcher cards, by app
  std::vector<std::pair<std::string, Box>> cardNames;  // the app's name inside each card
  Box page, pageName;                                  // the frontmost app's page
  std::vector<std::pair<std::string, Box>> alertButtons;
};

// Draws the screen as the host shows it into a PNG at `path` (a file of this computer). False
// with a message in `error` when the home screen has not booted or the file cannot be written.
bool renderScreen(const HomeScreen& home, const std::string& path, std::string* error,
                  RenderedLayout* layout = nullptr);

}  // namespace qv::host
