#include "runtime/loader.h"

#include <dlfcn.h>

namespace qv {

bool loadLibrary(const std::string& path, std::string* error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    if (error) *error = dlerror();
    return false;
  }
  return true;
}

}  // namespace qv
