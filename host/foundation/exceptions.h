// Exceptions Foundation and UIKit raise where a caller broke a method's contract (a nil
// argument, an index out of range, an archive that is no archive). Nothing in the home screen
// catches them: an uncaught exception ends the process, with the message the device logs.
#pragma once

#include <string>

#include "platform/objc.h"

namespace qv::host {

inline constexpr const char* kInvalidArgumentException = "NSInvalidArgumentException";
inline constexpr const char* kRangeException = "NSRangeException";
inline constexpr const char* kUndefinedKeyException = "NSUnknownKeyException";

// Logs "*** Terminating app due to uncaught exception 'NAME', reason: 'REASON'" and aborts.
[[noreturn]] void raiseUncaught(const char* name, const std::string& reason);

// The reason Foundation gives for a method's broken contract: "*** -[Class sel]: what" (or
// "+[...]" for a class method).
std::string methodReason(id receiver, SEL sel, const std::string& what);

}  // namespace qv::host
