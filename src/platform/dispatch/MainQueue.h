#pragma once

#include <chrono>
#include <functional>

#include "platform/dispatch/Queue.h"

// The main queue and the loop that drains it.
//
// The main queue is one FIFO of work that runs only on the main thread. Something on the main
// thread must pump it: under Qt a small driver does it from the event loop; in tests the test
// does, with `runUntilIdle()` or `runUntil(...)`. Work posted from any thread runs in the order
// it was posted. A piece of main work may pump the queue itself (a modal loop does); the nested
// pump runs the following work in order, and none is run twice or lost.
namespace platform::dispatch {

// The main queue, labelled "main"; the same queue on every call. Queued work never runs inline.
QueuePtr mainQueue();

// Installs the hook a driver uses to be told that main work is waiting; an empty function
// removes it. The hook is called from any thread, at most once per turn that is needed, and the
// driver answers it by calling `runPending()` on the main thread soon after. Installing a hook
// while work is already waiting calls it at once, so nothing queued before the driver is
// stranded. Requires: the hook does not block and does not run main work itself.
void setMainQueueWakeUp(std::function<void()> wakeUp);

// The functions below must be called on the main thread; elsewhere they abort.

// Runs the work that was waiting when called (one turn); work added meanwhile waits for the next
// turn. Answers how many pieces of work ran.
int runPending();

// Runs turns until the main queue is empty.
void runUntilIdle();

// Pumps the main queue until `predicate` holds (answers true) or `timeout` of real time has
// passed (answers false); waits for new work between turns instead of spinning. The predicate
// is checked before each turn, so one that already holds runs nothing.
bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

}  // namespace platform::dispatch
