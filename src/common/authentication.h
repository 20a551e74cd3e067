// Device-owner authentication with the reason "App Locked".
#pragma once

#include "common/unavailable.h"
#include "platform/ownership.h"
#include "platform/uikit.h"

namespace quorvel {

// Starts an evaluation on a new authentication context and returns at once. When the reply
// arrives (on the framework's queue) its handling moves to the main queue, where
// `onMain(bool succeeded)` runs with whether it succeeded: a true success flag and no error.
// The reply block holds the context until it has run; a context released earlier would cancel
// the evaluation.
// Without the framework's context class nothing can authenticate: `onMain(false)` runs at once,
// and what stays locked stays locked.
template <class OnMain>
void authenticate(OnMain onMain) {
  if (!classNamed("LAContext", "App Lock's unlock prompt")) {
    onMain(false);
    return;
  }
  auto context = qv::StrongRef<LA::Context>::adopt(LA::Context::create());
  context->evaluatePolicy(
      LA::PolicyDeviceOwnerAuthentication, NSSTR("App Locked"),
      qv::makeBlock<BOOL, id>([keepAlive = context, onMain](BOOL success, id error) {
        // Only retained captures are touched on this thread; the outcome is handled on main.
        qv::StrongRef<id> errorHeld(error);
        dispatch_async(dispatch_get_main_queue(), qv::makeBlock<>([onMain, success, errorHeld] {
                         onMain(success && !errorHeld);
                       }));
      }));
}

}  // namespace quorvel
