#pragma once

#include <chrono>
#include <cmath>
#include <limits>

namespace platform::dispatch {

// The dispatch clock: monotonic, unaffected by changes of the wall clock. Delayed work, timers
// and anything that measures elapsed time on the queues read it through `now()`.
using TimePoint = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

// The dispatch clock's current time; the manual clock's time while one is installed.
TimePoint now();

namespace internal {

// `interval` in clock ticks, clamped to about ±70 years (NaN counts as zero), so that adding
// it to `now()` can never overflow whatever a caller passes.
template <class Rep, class Period>
Duration clampedDuration(std::chrono::duration<Rep, Period> interval) {
    constexpr Duration kLimit = Duration::max() / 4;
    const long double ticks =
        std::chrono::duration<long double, Duration::period>(interval).count();
    if (std::isnan(ticks)) {
        return Duration::zero();
    }
    if (ticks >= static_cast<long double>(kLimit.count())) {
        return kLimit;
    }
    if (ticks <= -static_cast<long double>(kLimit.count())) {
        return -kLimit;
    }
    return std::chrono::duration_cast<Duration>(interval);
}

}  // namespace internal

// The deadline `interval` from now on the dispatch clock. A zero or negative interval gives a
// deadline that has passed.
template <class Rep, class Period>
TimePoint deadlineAfter(std::chrono::duration<Rep, Period> interval) {
    return now() + internal::clampedDuration(interval);
}

// A dispatch clock that moves only when told to, for tests of delayed work.
//
// While it lives, `now()` answers its time (starting at the real time of its creation) and
// delayed work is released only by `advance`, never by real time passing. Only one manual clock
// may exist at a time. Destroying it gives the dispatch clock back to real time.
//
// Example:
//   ManualClock clock;
//   LxAsync::mainAfterMilliseconds(150, work);
//   clock.advance(150ms);   // `work` is now queued on the main queue
//   runUntilIdle();
class ManualClock {
public:
    ManualClock();
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    // Moves the time forward by `interval` and hands every delayed piece of work that is now due
    // to its queue, in deadline order and, for equal deadlines, in submission order. Runs none of
    // it: work for the main queue waits for the main queue to be pumped.
    void advance(Duration interval);

    TimePoint now() const;
};

}  // namespace platform::dispatch
