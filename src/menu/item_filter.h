// Filters the host's own home-screen items (rearrange, remove or delete, share) by setting.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// SBIconView -setApplicationShortcutItems:
void hook14SetShortcutItems(id self, SEL cmd, id items);
void hook13SetShortcutItems(id self, SEL cmd, id items);

}  // namespace quorvel
