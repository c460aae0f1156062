#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/reactive/AnyCancellable.h"
#include "platform/reactive/Completion.h"

namespace platform::reactive::internal {

// The subscribers of a source that ends once (a subject's completion, a future's result).
// Before the end, subscribers are kept until their handle cancels; at the end they are handed
// out once; after it, a new subscriber is given the end at once instead of being kept.
template <class T, class E, class End>
class SubscriberList : public std::enable_shared_from_this<SubscriberList<T, E, End>> {
public:
    using Entry = std::shared_ptr<const Subscriber<T, E>>;

    // `deliverEnd(subscriber, end)` is called outside the lock when the source has ended.
    template <class DeliverEnd>
    AnyCancellable add(Subscriber<T, E> subscriber, DeliverEnd deliverEnd) {
        std::unique_lock lock(mutex_);
        if (end_) {
            lock.unlock();
            // The end is never changed once set, so it is read without the lock.
            deliverEnd(subscriber, *end_);
            return AnyCancellable();
        }
        const std::uint64_t id = nextId_++;
        subscribers_.emplace(id, std::make_shared<const Subscriber<T, E>>(std::move(subscriber)));
        return AnyCancellable([weak = this->weak_from_this(), id] {
            if (const auto list = weak.lock()) {
                list->remove(id);
            }
        });
    }

    std::vector<Entry> snapshot() const {
        const std::lock_guard lock(mutex_);
        return entries(subscribers_);
    }

    // The subscribers to hand the end to; none when the source had ended already.
    std::optional<std::vector<Entry>> end(End end) {
        std::map<std::uint64_t, Entry> ended;  // let go after the lock
        const std::lock_guard lock(mutex_);
        if (end_) {
            return std::nullopt;
        }
        end_.emplace(std::move(end));
        ended.swap(subscribers_);
        return entries(ended);
    }

    // Requires: `end` has been called.
    const End& ending() const { return *end_; }

private:
    static std::vector<Entry> entries(const std::map<std::uint64_t, Entry>& subscribers) {
        std::vector<Entry> list;
        list.reserve(subscribers.size());
        for (const auto& [id, entry] : subscribers) {
            list.push_back(entry);
        }
        return list;
    }

    void remove(std::uint64_t id) {
        Entry removed;  // declared before the lock, so let go after it
        const std::lock_guard lock(mutex_);
        if (const auto found = subscribers_.find(id); found != subscribers_.end()) {
            removed = std::move(found->second);
            subscribers_.erase(found);
        }
    }

    mutable std::mutex mutex_;
    std::map<std::uint64_t, Entry> subscribers_;
    std::uint64_t nextId_ = 0;
    std::optional<End> end_;
};

}  // namespace platform::reactive::internal
