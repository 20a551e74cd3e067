// Calling a hook's previous implementation takes the argument types of the host method the hook
// replaces: with QV_WRONG_ARGUMENT defined this must not compile.
#include "platform/substrate.h"

namespace {

void setTitle(id self, SEL cmd, id title) { qv::Hook<&setTitle>::previous(self, cmd, title); }

}  // namespace

void callPrevious(id self, SEL cmd) {
#ifdef QV_WRONG_ARGUMENT
  qv::Hook<&setTitle>::previous(self, cmd, 1.5);  // a number where the method takes an object
#else
  qv::Hook<&setTitle>::previous(self, cmd, nil);
#endif
}
