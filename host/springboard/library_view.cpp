#include "springboard/library_view.h"

#include <dlfcn.h>

#include <atomic>

namespace qv::host {

id libraryObject(const char* name) {
  auto* slot = static_cast<id*>(dlsym(RTLD_DEFAULT, name));
  return slot ? *slot : nil;
}

std::optional<double> libraryValue(const std::string& name) {
  using ReadState = bool (*)(const char*, double*);
  // Looked up until the library is loaded; a loaded library stays.
  static std::atomic<ReadState> found{nullptr};
  ReadState readState = found.load(std::memory_order_acquire);
  if (!readState) {
    readState = reinterpret_cast<ReadState>(dlsym(RTLD_DEFAULT, "quorvelReadState"));
    found.store(readState, std::memory_order_release);
  }
  double value = 0;
  if (!readState || !readState(name.c_str(), &value)) return std::nullopt;
  return value;
}

}  // namespace qv::host
