// `defaults`: the settings dictionary read once at launch, carrying the three app lists.
#pragma once

#include "platform/foundation.h"

extern "C" {
// An NSMutableDictionary, or nil when the settings property list could not be read.
extern id defaults;
}

namespace quorvel {

// Reads the settings property list into `defaults`, creating the file when it is missing.
void loadDefaults();

}  // namespace quorvel
