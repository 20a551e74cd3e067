#include "applock/search_gate.h"

#include <initializer_list>

#include "common/unavailable.h"
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

void hook15OpenApplication(id self, SEL cmd, id bundleIdentifier, id completion) {
  if (isAppLocked(bundleIdentifier)) return;
  qv::Hook<hook15OpenApplication>::previous(self, cmd, bundleIdentifier, completion);
}

void hook15OpenUserActivity(id self, SEL cmd, id activity, id bundleIdentifier, id completion) {
  if (isAppLocked(bundleIdentifier)) return;
  qv::Hook<hook15OpenUserActivity>::previous(self, cmd, activity, bundleIdentifier, completion);
}

void noteSearchUnguarded() {
  Class search = objc_getClass("SearchUIUtilities");
  for (const char* entry :
       {"openApplicationWithBundleIdentifier:", "openUserActivity:applicationBundleIdentifier:",
        "openApplicationWithBundleIdentifier:completion:",
        "openUserActivity:applicationBundleIdentifier:completion:"}) {
    if (NS::Object(asId(search)).respondsToSelector(sel_registerName(entry))) return;
  }
  recordUnguarded("search",
                  "this OS opens apps from search through no method the library can hook: a "
                  "locked app opened from search comes forward blurred and asks for "
                  "authentication");
}

}  // namespace quorvel
