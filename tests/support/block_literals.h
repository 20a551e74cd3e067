// Block literals compiled by clang with -fblocks (block_literals.m): stack literals handed to a
// consumer while their frame is live, and callers that invoke a block through the ABI.
#pragma once

#ifdef __cplusplus
#include "platform/objc.h"
extern "C" {
#endif

// Hands `schedule` a literal that captures `captured` (retained by its copy helper) and a
// __block counter, runs `drain`, and returns how often the literal ran, read through the
// counter's forwarding.
int qvtest_run_later(void (*schedule)(void* block), void (*drain)(void), id captured, id* seen);
// Hands `consumer` a literal of type void (^)(bool ok, id error) counting successes (ok and no
// error) and failures.
void qvtest_with_reply(void (*consumer)(void* reply, void* context), void* context, int* successes,
                       int* failures);
// Hands `consumer` a literal of type void (^)(id) storing what it is called with.
void qvtest_with_handler(void (*consumer)(void* handler, void* context), void* context, id* tapped);
// A literal without captures: a global block.
void* qvtest_global_block(void);
// Call a block of type void (^)(bool, id) as compiled code does: directly, or through a heap
// copy released afterwards.
void qvtest_call_reply(void* reply, bool ok, id error);
void qvtest_copy_call_release(void* reply, bool ok, id error);

#ifdef __cplusplus
}
#endif
