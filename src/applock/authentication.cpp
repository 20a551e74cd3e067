#include "applock/authentication.h"

#include "platform/uikit.h"

namespace quorvel {

void authenticate(std::function<void(bool succeeded)> onMain) {
  NS::Owned<LA::Context> context(LA::Context::create());
  NS::Retained<LA::Context> keepAlive(context.get());
  id reply = qv::makeBlock<BOOL, id>([keepAlive, onMain](BOOL success, id error) {
    // Only retained captures are touched on this thread; the outcome is handled on main.
    NS::Retained<NS::Object> errorHeld{NS::Object(error)};
    dispatch_async(dispatch_get_main_queue(), qv::makeBlock<>([onMain, success, errorHeld] {
                     onMain(success && !errorHeld.get());
                   }));
  });
  context->evaluatePolicy(LA::PolicyDeviceOwnerAuthentication, NSSTR("App Locked"), reply);
}

}  // namespace quorvel
