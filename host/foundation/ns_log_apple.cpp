// NSLog's entry for images built for Apple's arm64 convention (runtime/macho/apple_variadic.h),
// registered with the loader when the host library loads.
#include <cstdarg>
#include <cstring>

#include "foundation/ns_log.h"
#include "platform/ns_functions.h"
#include "runtime/macho/apple_variadic.h"

#if defined(__aarch64__)

// The assembly entry (ns_log_apple_aarch64.S) hands over the stack address where the caller
// left its variable arguments.
extern "C" void qv_apple_NSLog(void);

// An AAPCS64 va_list whose register save areas are used up (both offsets zero) reads every
// argument from its stack area in eight-byte slots: exactly where Apple's convention put them.
// The layout is the one AAPCS64 defines for va_list.
struct Aapcs64VaList {
  void* stack;
  void* generalTop;
  void* vectorTop;
  int generalOffset;
  int vectorOffset;
};
static_assert(sizeof(Aapcs64VaList) == sizeof(va_list));

extern "C" void qv_apple_NSLog_stack(id format, void* arguments) {
  Aapcs64VaList layout{arguments, nullptr, nullptr, 0, 0};
  va_list args;
  std::memcpy(&args, &layout, sizeof layout);
  NSLogv(format, args);
}

namespace {
const void* nsLogEntry() { return reinterpret_cast<const void*>(&qv_apple_NSLog); }
}  // namespace

#else

namespace {
const void* nsLogEntry() { return reinterpret_cast<const void*>(&NSLog); }
}  // namespace

#endif

namespace {
[[maybe_unused]] const bool gRegistered =
    (qv::macho::registerAppleVariadicEntry("NSLog", nsLogEntry()), true);
}  // namespace
