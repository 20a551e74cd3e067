// A read-only window on the library's process-wide values, for diagnostics tools.
#pragma once

#include "platform/objc.h"

extern "C" {
// The value of a settings key from the settings cache (switches read 1 or 0), or of the
// state flags "authInProgress" and "actionGroupIsAlert". False for an unknown name.
QV_HOST_DIAGNOSTIC bool quorvelReadState(const char* name, double* value);
}
