// The demonstration run without arguments.
#pragma once

#include "command.h"
#include "output.h"

namespace qv::sim {

// The built-in device: OS 14.2, a dozen apps, a folder, a widget, a wallpaper colour, the
// library's default settings. Written in the command language.
const char* defaultDeviceScript();

// Sets up the built-in device, boots it and presses an icon, showing each step. Returns the
// exit status.
int runDemonstration(Session& session, Reporter& reporter);

}  // namespace qv::sim
