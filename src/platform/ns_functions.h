// Foundation's C functions.
#pragma once

#include "platform/objc.h"

#pragma GCC visibility push(default)
extern "C" {
// Writes one line to the system log; "%@" formats an object's description.
void NSLog(id format, ...);
// The process's home directory, as a device path.
id NSHomeDirectory(void);
Class NSClassFromString(id name);
}
#pragma GCC visibility pop
