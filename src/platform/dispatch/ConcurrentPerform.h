#pragma once

#include <cstddef>
#include <functional>

namespace platform::dispatch {

// Runs `work(0)` … `work(iterations - 1)` side by side, on the calling thread and on workers of
// the global queue, and returns once every one has finished. The calling thread takes part and
// takes whatever no worker has started yet, so it never waits for work still queued: it is safe
// to call from a worker of the pool itself, however busy the pool is. For the same reason an
// iteration must never wait for another: all of them may run one after the other.
//
// The first exception an iteration throws is thrown here once all have finished; the others
// are dropped. With fewer than two iterations nothing leaves the calling thread.
//
// Example:
//   concurrentPerform(2, [&](std::size_t index) { index == 0 ? write(text) : parse(text); });
void concurrentPerform(std::size_t iterations, const std::function<void(std::size_t)>& work);

}  // namespace platform::dispatch
