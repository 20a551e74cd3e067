// Registration of the event classes: the block classes, the main queue and the notification centre.
#pragma once

namespace qv::host {

void registerMainQueue();
void registerNotificationCenter();

}  // namespace qv::host
