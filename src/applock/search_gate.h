// A locked app cannot be opened from the system search.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// +[SearchUIUtilities openApplicationWithBundleIdentifier:]
void hookOpenApplication(id self, SEL cmd, id bundleIdentifier);
// +[SearchUIUtilities openUserActivity:applicationBundleIdentifier:]
void hookOpenUserActivity(id self, SEL cmd, id activity, id bundleIdentifier);
// Version 15's forms with a completion handler, which is not called for a locked app either.
void hook15OpenApplication(id self, SEL cmd, id bundleIdentifier, id completion);
void hook15OpenUserActivity(id self, SEL cmd, id activity, id bundleIdentifier, id completion);

// Where search opens apps through none of those methods (version 16), a locked app opened from
// search is guarded only as any app coming forward is: blurred, asking for the owner. Says so.
void noteSearchUnguarded();

}  // namespace quorvel
