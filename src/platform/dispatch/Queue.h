#pragma once

#include <memory>
#include <string>

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/Work.h"

namespace platform::dispatch {

// Quality-of-service classes. Kept as an attribute of a queue; all queues share one pool.
enum class QoS { unspecified, background, utility, default_, userInitiated, userInteractive };

enum class WorkFlags {
    none,
    // On a concurrent queue: wait until everything submitted before has finished, run alone,
    // and hold back what comes after. No effect on other queues.
    barrier,
};

// A dispatch queue: runs work handed to it, in the order and with the parallelism of its kind.
//
// Kinds: the main queue (`mainQueue()`, drained on the main thread), the global queues
// (`globalQueue(qos)`, concurrent, on the shared worker pool), labelled serial queues
// (`SerialQueue`) and labelled concurrent queues (`ConcurrentQueue`). Queues are always held
// in `std::shared_ptr`; queued work keeps its queue alive until it has run.
//
// Work that throws is caught where it runs and logged at error level with the queue's label;
// nothing thrown by queued work ends the process or reaches another piece of work.
class Queue : public std::enable_shared_from_this<Queue> {
public:
    virtual ~Queue() = default;
    Queue(const Queue&) = delete;
    Queue& operator=(const Queue&) = delete;

    const std::string& label() const noexcept { return label_; }
    QoS qos() const noexcept { return qos_; }

    // Queues `work` and returns at once; never runs it inline.
    void async(Work work, WorkFlags flags = WorkFlags::none);

    // Queues `work` at `deadline` on the dispatch clock. A deadline that has passed queues it
    // at once (never inline).
    void asyncAfter(TimePoint deadline, Work work);

    // True while the calling thread runs work of this queue (queued work or a `sync` body),
    // also from inside a `sync` on another queue made by that work. For assertions.
    bool isCurrent() const;

protected:
    Queue(std::string label, QoS qos) : label_(std::move(label)), qos_(qos) {}

private:
    virtual void enqueue(Work work, WorkFlags flags) = 0;

    const std::string label_;
    const QoS qos_;
};

using QueuePtr = std::shared_ptr<Queue>;

// True on the process's initial thread, the one that drains the main queue.
bool isMainThread();

}  // namespace platform::dispatch
