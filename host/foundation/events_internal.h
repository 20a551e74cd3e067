// Registration of the event classes: blocks, the main queue and the notification centre.
#pragma once

namespace qv::host {

void registerBlockClass();
void registerMainQueue();
void registerNotificationCenter();

}  // namespace qv::host
