// A locked app cannot be opened from the system search.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// +[SearchUIUtilities openApplicationWithBundleIdentifier:]
void hookOpenApplication(id self, SEL cmd, id bundleIdentifier);
// +[SearchUIUtilities openUserActivity:applicationBundleIdentifier:]
void hookOpenUserActivity(id self, SEL cmd, id activity, id bundleIdentifier);

}  // namespace quorvel
