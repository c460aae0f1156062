#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/reactive/AnyCancellable.h"
#include "platform/reactive/Completion.h"

namespace platform::reactive::internal {

// The state of one flat-map subscription: the upstream and every inner publisher made from its
// values. It finishes once the upstream and all inners have finished; the first failure, of the
// upstream or of an inner, goes downstream at once and cancels everything else.
template <class U, class E>
class FlatMapState : public std::enable_shared_from_this<FlatMapState<U, E>> {
public:
    // Requires: both functions of `downstream` are set (it is a relay's forwarder).
    explicit FlatMapState(Subscriber<U, E> downstream) : downstream_(std::move(downstream)) {}

    CancellableBag& cancellables() { return cancellables_; }

    template <class Publisher>
    void addInner(const Publisher& inner) {
        {
            const std::lock_guard lock(mutex_);
            if (terminated_) {
                return;
            }
            ++activeInners_;
        }
        // The inner may complete inside `subscribe`, before its handle is kept; the slot
        // tells `fill` whether it still should be.
        const std::uint64_t slot = cancellables_.reserve();
        const std::weak_ptr<FlatMapState> weak = this->weak_from_this();
        cancellables_.fill(
            slot, inner.subscribe(Subscriber<U, E>{downstream_.receiveValue,
                                                   [weak, slot](const Completion<E>& completion) {
                                                       if (const auto self = weak.lock()) {
                                                           self->innerCompleted(slot, completion);
                                                       }
                                                   }}));
    }

    void upstreamCompleted(const Completion<E>& completion) {
        if (completion.error()) {
            fail(*completion.error());
            return;
        }
        finishIf([this] {
            upstreamFinished_ = true;
            return activeInners_ == 0;
        });
    }

private:
    void innerCompleted(std::uint64_t slot, const Completion<E>& completion) {
        if (completion.error()) {
            fail(*completion.error());
            return;
        }
        cancellables_.remove(slot);
        finishIf([this] {
            --activeInners_;
            return upstreamFinished_ && activeInners_ == 0;
        });
    }

    template <class Update>
    void finishIf(Update update) {
        {
            const std::lock_guard lock(mutex_);
            if (!update() || terminated_) {
                return;
            }
            terminated_ = true;
        }
        downstream_.receiveCompletion(Completion<E>::finished());
    }

    void fail(const E& error) {
        {
            const std::lock_guard lock(mutex_);
            if (terminated_) {
                return;
            }
            terminated_ = true;
        }
        downstream_.receiveCompletion(Completion<E>::failure(error));
        cancellables_.cancel();
    }

    const Subscriber<U, E> downstream_;
    CancellableBag cancellables_;
    std::mutex mutex_;
    std::size_t activeInners_ = 0;
    bool upstreamFinished_ = false;
    bool terminated_ = false;
};

}  // namespace platform::reactive::internal
