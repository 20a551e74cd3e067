#include "springboard/library_view.h"

#include <dlfcn.h>

namespace qv::host {

id libraryObject(const char* name) {
  auto* slot = static_cast<id*>(dlsym(RTLD_DEFAULT, name));
  return slot ? *slot : nil;
}

std::optional<double> libraryValue(const std::string& name) {
  using ReadState = bool (*)(const char*, double*);
  auto readState = reinterpret_cast<ReadState>(dlsym(RTLD_DEFAULT, "quorvelReadState"));
  double value = 0;
  if (!readState || !readState(name.c_str(), &value)) return std::nullopt;
  return value;
}

}  // namespace qv::host
