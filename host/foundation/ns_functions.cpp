// Foundation's small C functions.
#include "platform/ns_functions.h"
#include "foundation/device_root.h"
#include "foundation/foundation_internal.h"

extern "C" {

id NSHomeDirectory(void) { return qv::host::makeString(qv::host::homeDirectory()); }

Class NSClassFromString(id name) {
  if (!name || !qv::host::isString(name)) return nullptr;
  std::string text = qv::host::stdString(name);
  return text.empty() ? nullptr : objc_getClass(text.c_str());
}

}  // extern "C"
