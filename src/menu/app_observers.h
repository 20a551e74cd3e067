// App objects observe the badge-clearing and quit notifications.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// SBApplication -initWithApplicationInfo:
id hookAppInitWithInfo(id self, SEL cmd, id info);
// Added to SBApplication; also the observers of clearBadges and killApp.
void appClearBadges(id self, SEL cmd);
void appKillApp(id self, SEL cmd);

}  // namespace quorvel
