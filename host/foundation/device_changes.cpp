#include "foundation/device_changes.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace qv::host {
namespace {

std::atomic<uint64_t> gChanges{0};
std::mutex gLock;
std::shared_ptr<const DeviceChangeObserver> gObserver;

}  // namespace

void noteDeviceChange(const std::string& devicePath) {
  gChanges.fetch_add(1, std::memory_order_acq_rel);
  std::shared_ptr<const DeviceChangeObserver> observer;
  {
    std::lock_guard<std::mutex> guard(gLock);
    observer = gObserver;
  }
  // Called outside the lock: the observer may itself write.
  if (observer) (*observer)(devicePath);
}

uint64_t deviceChangeCount() { return gChanges.load(std::memory_order_acquire); }

void setDeviceChangeObserver(DeviceChangeObserver observer) {
  std::lock_guard<std::mutex> guard(gLock);
  gObserver =
      observer ? std::make_shared<const DeviceChangeObserver>(std::move(observer)) : nullptr;
}

}  // namespace qv::host
