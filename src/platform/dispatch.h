// The main dispatch queue.
#pragma once

#include "platform/block.h"

struct dispatch_queue_s;
typedef struct dispatch_queue_s* dispatch_queue_t;

#pragma GCC visibility push(default)
extern "C" {
// The main queue: an object of the system's, reached by its address.
extern struct dispatch_queue_s _dispatch_main_q;
// Copies the block (_Block_copy) and runs it later on the queue's thread, then releases it.
void dispatch_async(dispatch_queue_t queue, id block);
}
#pragma GCC visibility pop

inline dispatch_queue_t dispatch_get_main_queue(void) { return &_dispatch_main_q; }
