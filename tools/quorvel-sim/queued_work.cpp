#include "queued_work.h"

#include "effects.h"
#include "foundation/main_loop.h"

namespace qv::sim {

std::vector<std::string> runQueuedWork(Session& session) {
  if (!session.home.booted()) {
    host::runMainLoopOnce();
    return {};
  }
  host::Json before = session.home.dump();
  session.home.settle();
  return describeChanges(before, session.home.dump());
}

}  // namespace qv::sim
