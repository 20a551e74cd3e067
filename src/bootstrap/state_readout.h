// A read-only window on the library's process-wide values, for diagnostics tools.
#pragma once

#include "platform/objc.h"

extern "C" {
// The library's state, one value per index from 0 until it answers false: every setting the
// settings cache holds, then the state flags "authInProgress" and "actionGroupIsAlert".
// `kind` says how to read `value`: 's' a switch setting (1 or 0), 'n' a number setting, 'f' a
// state flag (1 or 0). Indices rather than a callback: the reader hands the library no
// function pointer, which on arm64e it would have to sign.
QV_HOST_DIAGNOSTIC bool quorvelReadState(unsigned index, const char** name, char* kind,
                                         double* value);
}
