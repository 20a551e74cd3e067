#include "springboard/library_view.h"

#include <atomic>

#include "runtime/loader.h"

namespace qv::host {

id libraryObject(const char* name) {
  auto* slot = static_cast<id*>(librarySymbol(name));
  return slot ? *slot : nil;
}

std::optional<double> libraryValue(const std::string& name) {
  using ReadState = bool (*)(const char*, double*);
  // Looked up until the library is loaded; a loaded library stays.
  static std::atomic<ReadState> found{nullptr};
  ReadState readState = found.load(std::memory_order_acquire);
  if (!readState) {
    // A diagnostic the library keeps but does not export on a phone.
    readState = reinterpret_cast<ReadState>(libraryDiagnosticSymbol("quorvelReadState"));
    found.store(readState, std::memory_order_release);
  }
  double value = 0;
  if (!readState || !readState(name.c_str(), &value)) return std::nullopt;
  return value;
}

}  // namespace qv::host
