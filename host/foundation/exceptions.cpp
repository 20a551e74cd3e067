#include "foundation/exceptions.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/object_layout.h"

namespace qv::host {

void raiseUncaught(const char* name, const std::string& reason) {
  std::fprintf(stderr,
               "*** Terminating app due to uncaught exception '%s', reason: '%s'\n"
               "*** First throw call stack:\n(0x0)\n"
               "libc++abi: terminating due to uncaught exception of type NSException\n",
               name, reason.c_str());
  std::fflush(stderr);
  std::abort();
}

std::string methodReason(id receiver, SEL sel, const std::string& what) {
  Class cls = object_getClass(receiver);
  bool classMethod = runtime::isMetaClass(cls);
  const char* name =
      classMethod ? class_getName(reinterpret_cast<Class>(receiver)) : class_getName(cls);
  return std::string("*** ") + (classMethod ? "+[" : "-[") + name + " " + sel_getName(sel) +
         "]: " + what;
}

}  // namespace qv::host
