// The unlock prompt of a locked app's switcher page.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// True from the start of a page prompt until its reply has been handled on the main queue.
extern bool authInProgress;

// Asks for authentication for `page` unless a prompt is already pending; a success clears the
// page's blur.
void promptUnlock(id page);

// SBAppSwitcherPageView -retryAuth (added): prompts at once, leaving authInProgress alone.
void pageRetryAuth(id self, SEL cmd);

}  // namespace quorvel
