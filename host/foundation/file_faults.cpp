#include "foundation/file_faults.h"

#include <mutex>

namespace qv::host {
namespace {

std::mutex gLock;
WriteFault gFault = WriteFault::None;
int gRemaining = 0;

}  // namespace

void injectWriteFault(WriteFault fault, int count) {
  std::lock_guard<std::mutex> g(gLock);
  gFault = fault;
  gRemaining = count;
}

WriteFault takeWriteFault() {
  std::lock_guard<std::mutex> g(gLock);
  if (gFault == WriteFault::None || gRemaining == 0) return WriteFault::None;
  if (gRemaining > 0) gRemaining--;
  return gFault;
}

}  // namespace qv::host
