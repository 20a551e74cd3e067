// Device-owner authentication with the reason "App Locked".
#pragma once

#include <functional>

namespace quorvel {

// Starts an evaluation on a new authentication context and returns at once. When the reply
// arrives (on the framework's queue) its handling moves to the main queue, where `onMain`
// runs with whether it succeeded: a true success flag and no error. The context is kept
// until its reply has run; a context released earlier would cancel the evaluation.
void authenticate(std::function<void(bool succeeded)> onMain);

}  // namespace quorvel
