#pragma once

#include <chrono>
#include <string>

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Queue.h"
#include "platform/dispatch/Work.h"

// Hand-offs of work to another queue, without waiting for it.
//
// Every form queues the work and returns at once; the work runs exactly once and is held until
// then. The main forms run it on the main thread, in the order of the calls; the background
// forms on the global queue of class background, possibly beside other background work. Delays
// are measured on the dispatch clock (monotonic, not the wall clock); a zero or negative delay
// runs the work on the queue's next turn, never inline. Work that must not keep its owner alive
// captures it weakly (`std::weak_ptr`, `QPointer`).
//
// Example:
//   LxAsync::background([weak = weak_from_this()] {
//       auto result = combine();
//       LxAsync::main([weak, result] { if (auto self = weak.lock()) self->show(result); });
//   });
struct LxAsync {
    using Work = platform::dispatch::Work;
    using QoS = platform::dispatch::QoS;

    static void main(Work work);
    static void background(Work work);

    template <class Rep, class Period>
    static void main(std::chrono::duration<Rep, Period> after, Work work) {
        platform::dispatch::mainQueue()->asyncAfter(platform::dispatch::deadlineAfter(after),
                                                    std::move(work));
    }

    template <class Rep, class Period>
    static void background(std::chrono::duration<Rep, Period> after, Work work) {
        platform::dispatch::globalQueue(QoS::background)
            ->asyncAfter(platform::dispatch::deadlineAfter(after), std::move(work));
    }

    static void mainAfterSeconds(int seconds, Work work);
    static void mainAfterMilliseconds(int milliseconds, Work work);
    static void backgroundAfterSeconds(int seconds, Work work);
    static void backgroundAfterMilliseconds(int milliseconds, Work work);

    // Each call makes a new queue with `label`: two calls never share one, even with equal
    // labels, and their work is not ordered. The queue lives as long as its work.
    static void concurrent(std::string label, QoS qos, Work work);
    static void serial(std::string label, QoS qos, Work work);

private:
    enum class Unit { seconds, milliseconds };

    static void after(const platform::dispatch::QueuePtr& queue, int count, Unit unit, Work work);
};
