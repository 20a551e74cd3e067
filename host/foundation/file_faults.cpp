#include "foundation/file_faults.h"

#include <mutex>

namespace qv::host {
namespace {

std::mutex gLock;
WriteFault gFault = WriteFault::None;
int gRemaining = 0;

constexpr struct {
  WriteFault fault;
  const char* name;
} kFaults[] = {
    {WriteFault::ReadOnlyFolder, "readOnlyFolder"},
    {WriteFault::NoSpaceMidway, "noSpaceMidway"},
    {WriteFault::FailedRename, "failedRename"},
};

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

const char* faultName(WriteFault fault) {
  for (const auto& f : kFaults) {
    if (f.fault == fault) return f.name;
  }
  return "";
}

bool faultNamed(const std::string& name, WriteFault& fault) {
  for (const auto& f : kFaults) {
    if (name == f.name) {
      fault = f.fault;
      return true;
    }
  }
  return false;
}

}  // namespace qv::host
