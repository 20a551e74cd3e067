#include "common/unavailable.h"

#include "platform/foundation.h"
#include "platform/libc.h"

namespace quorvel {

namespace {

struct SkippedHook {
  const char* className;
  const char* selector;
  bool classMethod;
};

struct MissingClass {
  const char* name;
  const char* whatNeedsIt;
};

struct Unguarded {
  const char* what;
  const char* why;
};

// Both hold names from the library's own tables, which live as long as the process. Every
// hook and every class looked up by name has room, so nothing recorded is ever dropped.
constexpr unsigned kMaxSkipped = 64;
constexpr unsigned kMaxMissing = 16;
SkippedHook skipped[kMaxSkipped];
unsigned skippedCount = 0;
MissingClass missing[kMaxMissing];
unsigned missingCount = 0;
constexpr unsigned kMaxUnguarded = 4;
Unguarded unguarded[kMaxUnguarded];
unsigned unguardedCount = 0;

}  // namespace

void recordSkippedHook(const char* className, const char* selector, bool classMethod) {
  NSLog(NSSTR("Quorvel: %s[%s %s] not hooked: this OS has no class %s"), classMethod ? "+" : "-",
        className, selector, className);
  if (skippedCount < kMaxSkipped) skipped[skippedCount++] = {className, selector, classMethod};
}

Class classNamed(const char* name, const char* whatNeedsIt) {
  Class cls = objc_getClass(name);
  if (cls) return cls;
  for (unsigned i = 0; i < missingCount; ++i) {
    if (strcmp(missing[i].name, name) == 0) return nil;
  }
  NSLog(NSSTR("Quorvel: no class %s is loaded: %s is unavailable"), name, whatNeedsIt);
  if (missingCount < kMaxMissing) missing[missingCount++] = {name, whatNeedsIt};
  return nil;
}

void recordUnguarded(const char* what, const char* why) {
  for (unsigned i = 0; i < unguardedCount; ++i) {
    if (strcmp(unguarded[i].what, what) == 0) return;
  }
  NSLog(NSSTR("Quorvel: App Lock cannot guard %s: %s"), what, why);
  if (unguardedCount < kMaxUnguarded) unguarded[unguardedCount++] = {what, why};
}

}  // namespace quorvel

extern "C" bool quorvelUnguarded(unsigned index, const char** what, const char** why) {
  using quorvel::unguarded;
  if (index >= quorvel::unguardedCount || !what || !why) return false;
  *what = unguarded[index].what;
  *why = unguarded[index].why;
  return true;
}

extern "C" bool quorvelSkippedHook(unsigned index, const char** className, const char** selector,
                                   bool* classMethod) {
  using quorvel::skipped;
  if (index >= quorvel::skippedCount || !className || !selector || !classMethod) return false;
  *className = skipped[index].className;
  *selector = skipped[index].selector;
  *classMethod = skipped[index].classMethod;
  return true;
}

extern "C" bool quorvelMissingClass(unsigned index, const char** name, const char** whatNeedsIt) {
  using quorvel::missing;
  if (index >= quorvel::missingCount || !name || !whatNeedsIt) return false;
  *name = missing[index].name;
  *whatNeedsIt = missing[index].whatNeedsIt;
  return true;
}
