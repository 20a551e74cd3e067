// `staticColor`: the user's static menu colour.
#pragma once

#include "platform/objc.h"

extern "C" {
// A UIColor; black when none is set.
extern id staticColor;
}

namespace quorvel {

// Reads "staticColor" from the colour property list.
void loadColorPrefs();

}  // namespace quorvel
