#include "queued_work.h"

#include "foundation/main_loop.h"
#include "tracked_run.h"

namespace qv::sim {

std::vector<std::string> runQueuedWork(Session& session) {
  if (!session.home.booted()) {
    host::runMainLoopOnce();
    return {};
  }
  return runTracked(session, [&] { session.home.settle(); });
}

}  // namespace qv::sim
