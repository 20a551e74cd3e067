// Calling the host's implementation that a hook replaced.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// Calls `previous` through a pointer of the exact type of the method it implemented.
template <class R, class... A>
inline R callPrevious(IMP previous, id self, SEL cmd, A... args) {
  return reinterpret_cast<R (*)(id, SEL, A...)>(previous)(self, cmd, args...);
}

template <class F>
inline IMP asImp(F* fn) {
  return reinterpret_cast<IMP>(fn);
}

}  // namespace quorvel
