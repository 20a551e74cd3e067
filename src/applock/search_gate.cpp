#include "applock/search_gate.h"

#include "bootstrap/hook_support.h"
#include "settings/app_lists.h"

namespace quorvel {

IMP prevOpenApplication = nullptr;
IMP prevOpenUserActivity = nullptr;

void hookOpenApplication(id self, SEL cmd, id bundleIdentifier) {
  if (isAppLocked(bundleIdentifier)) return;
  callPrevious<void>(prevOpenApplication, self, cmd, bundleIdentifier);
}

void hookOpenUserActivity(id self, SEL cmd, id activity, id bundleIdentifier) {
  if (isAppLocked(bundleIdentifier)) return;
  callPrevious<void>(prevOpenUserActivity, self, cmd, activity, bundleIdentifier);
}

}  // namespace quorvel
