#include "bootstrap/launch_hook.h"

#include "bootstrap/hook_support.h"
#include "settings/defaults_store.h"

namespace quorvel {

IMP prevApplicationDidFinishLaunching = nullptr;

void hookApplicationDidFinishLaunching(id self, SEL cmd, id application) {
  loadDefaults();
  callPrevious<void>(prevApplicationDidFinishLaunching, self, cmd, application);
}

}  // namespace quorvel
