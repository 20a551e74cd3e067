// Core Foundation's ownership call.
#include <cstdio>
#include <cstdlib>

#include "platform/corefoundation.h"

extern "C" {

// CFRelease(NULL) is a fault the device does not forgive: it halts the process.
void CFRelease(CFTypeRef obj) {
  if (!obj) {
    std::fprintf(stderr, "*** CFRelease() called with NULL ***\n");
    std::fflush(stderr);
    std::abort();
  }
  objc_release(const_cast<id>(obj));
}

}  // extern "C"
