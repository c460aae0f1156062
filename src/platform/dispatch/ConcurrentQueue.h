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

// A labelled queue that starts its work in submission order and runs it side by side on the
// worker pool, except that barrier work runs alone (see `WorkFlags::barrier`).
//
// `sync` runs its body on the calling thread once its turn is granted: a plain `sync` beside
// other plain work, a barrier `sync` alone. A plain `sync` from work already running on this
// queue runs at once; a barrier `sync` from there would wait for itself, so it logs a fatal line
// naming the label and aborts.
//
// The global queues (`globalQueue`) are concurrent queues that ignore the barrier flag.
//
// Example:
//   auto queue = ConcurrentQueue::create("thumbnails");
//   queue->sync([&] { cache[key] = image; }, WorkFlags::barrier);
class ConcurrentQueue final : public Queue {
public:
    static std::shared_ptr<ConcurrentQueue> create(std::string label, QoS qos = QoS::unspecified);

    // Runs `body` on this thread in its turn and answers its result (by value). Whatever
    // `body` throws reaches the caller, after the turn has ended. `site` names the caller in the
    // fatal line of a re-entrant barrier call.
    template <std::invocable F>
    std::remove_cvref_t<std::invoke_result_t<F>> sync(F&& body, WorkFlags flags = WorkFlags::none,
                                                      CallSite site = {}) {
        const Turn turn(*this, flags, site);
        return std::invoke(std::forward<F>(body));
    }

private:
    friend std::shared_ptr<ConcurrentQueue> globalQueue(QoS qos);

    // An entry is queued work, or a `sync` caller waiting for its turn.
    struct Entry {
        Work work;
        internal::SyncWaiter* waiter = nullptr;
        bool barrier = false;
    };

    class Turn {
    public:
        Turn(ConcurrentQueue& queue, WorkFlags flags, const CallSite& site);
        ~Turn();
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

    private:
        ConcurrentQueue& queue_;
        bool barrier_;
        // A plain `sync` from this queue's own work: it already has a running slot.
        bool nested_;
    };

    ConcurrentQueue(std::string label, QoS qos, bool honoursBarriers)
        : Queue(std::move(label), qos), honoursBarriers_(honoursBarriers) {}

    void enqueue(Work work, WorkFlags flags) override;
    bool isBarrier(WorkFlags flags) const;
    void startReady();
    void start(Entry entry);
    void finish(bool barrier);

    const bool honoursBarriers_;
    std::mutex mutex_;
    std::deque<Entry> waiting_;
    int running_ = 0;
    bool barrierRunning_ = false;
};

// The process's global concurrent queue for `qos` (unspecified means default), labelled
// "global.<class>". The same queue on every call.
std::shared_ptr<ConcurrentQueue> globalQueue(QoS qos);

}  // namespace platform::dispatch
