// What the library goes without on this device: hooks of classes the OS lacks, and classes it
// finds by name that no loaded image defines (a framework nobody loaded, another party's
// library that is not installed). Each is recorded once and logged, so that a feature that
// cannot work says why instead of failing silently.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// A hook whose class the OS lacks is skipped: the substrate must not be handed a nil class.
void recordSkippedHook(const char* className, const char* selector, bool classMethod);

// The class of that name, or nil when no loaded image defines it; then `whatNeedsIt` (what goes
// without it) is recorded. Looked up at each call: an image loaded later is found then.
Class classNamed(const char* name, const char* whatNeedsIt);

// A way in that the library cannot guard on this OS, and how what it guards holds regardless.
void recordUnguarded(const char* what, const char* why);

}  // namespace quorvel

extern "C" {
// The Nth skipped hook or missing class, for diagnostics tools; false past the last.
QV_HOST_DIAGNOSTIC bool quorvelSkippedHook(unsigned index, const char** className,
                                           const char** selector, bool* classMethod);
QV_HOST_DIAGNOSTIC bool quorvelMissingClass(unsigned index, const char** name,
                                            const char** whatNeedsIt);
QV_HOST_DIAGNOSTIC bool quorvelUnguarded(unsigned index, const char** what, const char** why);
}
