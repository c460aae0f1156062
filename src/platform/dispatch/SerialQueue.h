#pragma once

#include <concepts>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "platform/dispatch/Queue.h"
#include "platform/dispatch/internal/SyncWaiter.h"
#include "platform/foundation/CallSite.h"

namespace platform::dispatch {

// A labelled queue that runs one piece of work at a time, in the order of submission.
//
// `sync` runs its body on the calling thread once every earlier piece of work has finished, and
// holds the queue until the body returns or throws; it costs about one mutex lock when the
// queue is free. It is not re-entrant: a `sync` from work that already runs on this queue would
// wait for itself, so it logs a fatal line naming the label and aborts instead of hanging.
//
// Example:
//   auto queue = SerialQueue::create("project.team");
//   const int count = queue->sync([&] { return static_cast<int>(members.size()); });
class SerialQueue final : public Queue {
public:
    static std::shared_ptr<SerialQueue> create(std::string label, QoS qos = QoS::unspecified);

    // Runs `body` on this thread in the queue's turn and answers its result (by value).
    // Whatever `body` throws reaches the caller, after the queue has been handed on. `site`
    // names the caller in the fatal line of a re-entrant call.
    template <std::invocable F>
    std::remove_cvref_t<std::invoke_result_t<F>> sync(F&& body, CallSite site = {}) {
        const Turn turn(*this, site);
        return std::invoke(std::forward<F>(body));
    }

private:
    // An entry is queued work, or a `sync` caller waiting for its turn.
    struct Entry {
        Work work;
        internal::SyncWaiter* waiter = nullptr;
    };

    class Turn {
    public:
        Turn(SerialQueue& queue, const CallSite& site);
        ~Turn();
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

    private:
        SerialQueue& queue_;
    };

    SerialQueue(std::string label, QoS qos) : Queue(std::move(label), qos) {}

    void enqueue(Work work, WorkFlags flags) override;
    void acquire(const CallSite& site);
    void release();
    void drain();
    void startDrain();
    void passOn();

    std::mutex mutex_;
    std::deque<Entry> entries_;
    // True while someone owns the queue: a drain on the pool, or a `sync` body. Entries are
    // only ever waiting while the queue is owned.
    bool owned_ = false;
};

}  // namespace platform::dispatch
