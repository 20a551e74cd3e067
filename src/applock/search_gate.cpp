#include "applock/search_gate.h"

#include "platform/substrate.h"
#include "settings/app_lists.h"

namespace quorvel {

void hookOpenApplication(id self, SEL cmd, id bundleIdentifier) {
  if (isAppLocked(bundleIdentifier)) return;
  qv::Hook<hookOpenApplication>::previous(self, cmd, bundleIdentifier);
}

void hookOpenUserActivity(id self, SEL cmd, id activity, id bundleIdentifier) {
  if (isAppLocked(bundleIdentifier)) return;
  qv::Hook<hookOpenUserActivity>::previous(self, cmd, activity, bundleIdentifier);
}

}  // namespace quorvel
