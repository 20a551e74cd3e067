// Calling the host's implementation that a hook replaced.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// Calls `previous` through a pointer of the exact type of the method it implemented. Checked
// builds compare that type with the host method's type encoding first, as they do for sends.
template <class R, class... A>
inline R callPrevious(IMP previous, id self, SEL cmd, A... args) {
  qv::checkCall<R, A...>(self, cmd);
  return reinterpret_cast<R (*)(id, SEL, A...)>(previous)(self, cmd, args...);
}

template <class F>
inline IMP asImp(F* fn) {
  return reinterpret_cast<IMP>(fn);
}

}  // namespace quorvel
