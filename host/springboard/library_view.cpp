#include "springboard/library_view.h"

#include <dlfcn.h>

namespace qv::host {

id libraryObject(const char* name) {
  auto* slot = static_cast<id*>(dlsym(RTLD_DEFAULT, name));
  return slot ? *slot : nil;
}

std::optional<double> libraryValue(const std::string& name) {
  using Inspect = bool (*)(const char*, double*);
  auto inspect = reinterpret_cast<Inspect>(dlsym(RTLD_DEFAULT, "quorvelInspect"));
  double value = 0;
  if (!inspect || !inspect(name.c_str(), &value)) return std::nullopt;
  return value;
}

}  // namespace qv::host
