// The main dispatch queue.
#pragma once

#include "platform/block.h"

typedef id dispatch_queue_t;

#pragma GCC visibility push(default)
extern "C" {
dispatch_queue_t dispatch_get_main_queue(void);
// Runs a block made with qv::makeBlock<>() later on the queue's thread; the queue retains it.
void dispatch_async(dispatch_queue_t queue, id block);
}
#pragma GCC visibility pop
