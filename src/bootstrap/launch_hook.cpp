#include "bootstrap/launch_hook.h"

#include "platform/substrate.h"
#include "settings/defaults_store.h"

namespace quorvel {

void hookApplicationDidFinishLaunching(id self, SEL cmd, id application) {
  loadDefaults();
  qv::Hook<hookApplicationDidFinishLaunching>::previous(self, cmd, application);
}

}  // namespace quorvel
