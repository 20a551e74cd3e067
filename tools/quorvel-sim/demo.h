// The demonstration run without arguments.
#pragma once

#include <string>

namespace qv::sim {

// The built-in device, after its OS version: a dozen apps, a folder, a widget, a wallpaper
// colour, the library's default settings. Written in the command language.
const char* defaultDeviceScript();

// Tells the story of what Quorvel does, part by part (each part a run of this program on a
// script), writing pictures into `picturesFolder`. Returns the exit status.
int runDemonstration(const std::string& picturesFolder);

}  // namespace qv::sim
