// The main thread's run loop: work queued with dispatch_async(dispatch_get_main_queue(), ...)
// from any thread runs here, in order, when the main thread turns the loop.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace qv::host {

// Makes the calling thread the main thread. Until called, the main thread is the one that
// first ran registerFoundation().
void markMainThread();
bool isMainThread();

// Runs every block queued so far, and any queued while they run, each in its own autorelease
// pool. Returns how many ran. Main thread only.
size_t runMainLoopOnce();

// Turns the loop, waiting for more work, until `done()` holds or `timeout` passes; returns
// done(). Main thread only.
bool runMainLoopUntil(std::function<bool()> done, std::chrono::milliseconds timeout);

// Readable while work is queued, so that an interactive program can poll() it together with
// its input. runMainLoopOnce() clears it.
int mainLoopWakeFd();

}  // namespace qv::host
