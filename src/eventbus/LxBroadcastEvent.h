#pragma once

#include <algorithm>
#include <concepts>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/reactive/Completion.h"
#include "utility/CollectionExtensions.h"
#include "utility/LxAtomic.h"

// An event of the event bus: something a subscriber can leave again.
//
// Targets are compared by identity (the object that owns them); a null target stands for an
// object that has been released.
class LxEventBusEvent {
public:
    virtual ~LxEventBusEvent() = default;

    // Removes the first subscription of `target`; with a null target, the first whose target has
    // been released.
    virtual void unregister(const std::shared_ptr<void>& target) = 0;
    // True when `target` is alive and has a subscription.
    virtual bool contains(const std::shared_ptr<void>& target) const = 0;

protected:
    LxEventBusEvent() = default;
};

// The one serial queue, labelled "event_bus", on which every asynchronous send of every event
// is delivered, in the order of submission (delayed ones at their deadlines). Made on first use.
std::shared_ptr<platform::dispatch::SerialQueue> eventBusQueue();

namespace lx::internal {

// Whether both point into the object of one owner, alive or released.
inline bool isSameObject(const std::weak_ptr<void>& a, const std::weak_ptr<void>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}

}  // namespace lx::internal

// An event that delivers values of type T to the objects subscribed to it, without keeping
// either side alive.
//
// Subscriptions hold their target weakly and are kept in registration order; one target may
// subscribe several times and is then delivered to once per subscription. A released target's
// subscription stays in the list and is skipped. `register_` and `unregister` never block; a
// delivery that the same thread starts later sees them.
//
// One event's deliveries take turns: a delivery holds the event's delivery lock while it calls
// the blocks, so two threads sending on one event never run its blocks at the same time. The
// lock is re-entrant for the delivering thread and the subscription list is not held meanwhile,
// so a block may send on, register with or unregister from the same event; changes made by a
// block apply from the next delivery on. A block that sends on another event while a block of
// that event sends on this one, on another thread, waits forever: keep such pairs on one queue.
// Blocks of main-thread subscriptions run later on the main queue, outside the delivery lock,
// each only if its subscription and target are still there by then.
//
// Use `platform::reactive::Unit` as T for an event that carries nothing.
//
// Example:
//   auto saved = LxBroadcastEvent<std::string>::create();
//   saved->register_(view, true, [weak = std::weak_ptr(view)](const std::string& path) {...});
//   saved->async(path, std::chrono::milliseconds(500));
template <class T>
class LxBroadcastEvent : public LxEventBusEvent,
                         public std::enable_shared_from_this<LxBroadcastEvent<T>> {
public:
    using Block = std::function<void(const T&)>;

    static std::shared_ptr<LxBroadcastEvent> create() {
        return std::shared_ptr<LxBroadcastEvent>(new LxBroadcastEvent());
    }

    LxBroadcastEvent(const LxBroadcastEvent&) = delete;
    LxBroadcastEvent& operator=(const LxBroadcastEvent&) = delete;

    virtual void register_(const std::shared_ptr<void>& target, bool onMainThread, Block block) {
        auto subscription =
            std::make_shared<const Subscription>(target, std::move(block), onMainThread);
        subscriptions_.asyncWrite(
            [subscription = std::move(subscription)](List& list) { list.push_back(subscription); });
    }

    void unregister(const std::shared_ptr<void>& target) override {
        // The target is held weakly: its identity stays comparable after it has been released.
        subscriptions_.asyncWrite(
            [target = std::weak_ptr<void>(target), released = target == nullptr](List& list) {
                lx::removeFirst(list, [&](const std::shared_ptr<const Subscription>& subscription) {
                    return released ? subscription->target.expired()
                                    : lx::internal::isSameObject(subscription->target, target);
                });
            });
    }

    bool contains(const std::shared_ptr<void>& target) const override {
        if (!target) {
            return false;
        }
        const List list = subscriptions_.wrappedValue();
        return std::ranges::any_of(list, [&](const auto& subscription) {
            return lx::internal::isSameObject(subscription->target, target);
        });
    }

    // Delivers `value` to every subscription on this thread (main-thread ones on the main queue).
    virtual void deliver(const T& value) {
        const std::lock_guard turn(delivering_);
        // A copy, taken under the list's lock and walked without it: a block may use this event.
        const List list = subscriptions_.wrappedValue();
        for (const auto& subscription : list) {
            fire(subscription, value);
        }
    }

    void sync(const T& value) { deliver(value); }
    void sync() requires std::same_as<T, platform::reactive::Unit> {
        deliver(platform::reactive::Unit{});
    }

    // Delivers `value` on `eventBusQueue()`, at once or `after` from now on the dispatch clock,
    // then calls `completion` there. Nothing happens, completion included, when the event has
    // been released by then.
    void async(T value, std::optional<platform::dispatch::Duration> after = std::nullopt,
               std::function<void()> completion = {}) {
        platform::dispatch::Work work = [weak = this->weak_from_this(), value = std::move(value),
                                         completion = std::move(completion)] {
            const auto self = weak.lock();
            if (!self) {
                return;
            }
            self->sync(value);
            if (completion) {
                completion();
            }
        };
        const auto queue = eventBusQueue();
        if (after) {
            queue->asyncAfter(platform::dispatch::deadlineAfter(*after), std::move(work));
        } else {
            queue->async(std::move(work));
        }
    }
    void async(
        std::optional<platform::dispatch::Duration> after = std::nullopt,
        std::function<void()> completion = {}) requires std::same_as<T, platform::reactive::Unit> {
        async(platform::reactive::Unit{}, after, std::move(completion));
    }

protected:
    LxBroadcastEvent() = default;

private:
    struct Subscription {
        Subscription(const std::shared_ptr<void>& target, Block block, bool onMainThread)
            : target(target), block(std::move(block)), onMainThread(onMainThread) {}
        const std::weak_ptr<void> target;
        const Block block;
        const bool onMainThread;
    };
    using List = std::vector<std::shared_ptr<const Subscription>>;

    static void fire(const std::shared_ptr<const Subscription>& subscription, const T& value) {
        if (!subscription->onMainThread) {
            // Held for the call, so the target cannot be destroyed under its own block.
            if (const auto target = subscription->target.lock()) {
                subscription->block(value);
            }
            return;
        }
        platform::dispatch::mainQueue()->async(
            [weak = std::weak_ptr<const Subscription>(subscription), value] {
                const auto subscription = weak.lock();
                if (!subscription) {
                    return;
                }
                if (const auto target = subscription->target.lock()) {
                    subscription->block(value);
                }
            });
    }

    LxAtomic<List> subscriptions_{List{}};
    std::recursive_mutex delivering_;
};
