// The demonstration run without arguments.
#pragma once

#include <string>

namespace qv::sim {

// The built-in device, after its OS version: a dozen apps, a folder, a widget, a wallpaper
// colour, the library's default settings. Written in the command language.
const char* defaultDeviceScript();

// Tells the story of what Quorvel does, part by part (each part a run of this program on a
// script), writing pictures into `picturesFolder`. Returns the exit status.
// `libraryPath` is loaded by the chapters that show the library (none: empty) on a device
// with the processor `cpu` (empty: the default); with `dumpEach`, each chapter writes its state
// after every step into dumpEach/chapter-NN.
int runDemonstration(const std::string& picturesFolder, const std::string& libraryPath,
                     const std::string& dumpEach, const std::string& cpu);

}  // namespace qv::sim
