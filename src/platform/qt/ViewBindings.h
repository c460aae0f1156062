#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include <QObject>
#include <QPointer>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Queue.h"
#include "platform/reactive/AnyCancellable.h"
#include "platform/reactive/AnyPublisher.h"
#include "reactive/LxRxEvent.h"

// Ties events and published values to a widget for as long as it lives. (Not named `bind`:
// with standard-library arguments, an unqualified call would find std::bind as well.)
//
// The subscription belongs to `owner`: it ends when the owner is destroyed. A job that is
// already queued when that happens does nothing, so a closure may use the widget freely. The
// owner check is reliable on the main thread, where widgets live; bind with the main queue (the
// default) unless the closure touches no widget.
namespace platform::qt {

namespace internal {

// Keeps `cancellable` until `owner` is destroyed.
void keepUntilDestroyed(QObject* owner, platform::reactive::AnyCancellable cancellable);

}  // namespace internal

// Calls `closure` with every value sent on `event`: in a job on `on` (the main queue unless
// given), never inside the sender's call; with a null queue at once, on the thread that
// delivers the value.
//
// Example:
//   platform::qt::bindEvent(this, events->failurePresentRequest,
//                           [state](const std::string& text) { state->change(text); });
template <class T>
void bindEvent(QObject* owner, const std::shared_ptr<LxRxEvent<T>>& event,
               const platform::dispatch::QueuePtr& on,
               std::type_identity_t<std::function<void(const T&)>> closure) {
    const QPointer<QObject> guard(owner);
    internal::keepUntilDestroyed(
        owner, event->subject().sink([guard, on, closure = std::move(closure)](const T& value) {
            if (!on) {
                closure(value);
                return;
            }
            on->async([guard, closure, value] {
                if (guard) {
                    closure(value);
                }
            });
        }));
}

template <class T>
void bindEvent(QObject* owner, const std::shared_ptr<LxRxEvent<T>>& event,
               std::type_identity_t<std::function<void(const T&)>> closure) {
    bindEvent(owner, event, platform::dispatch::mainQueue(), std::move(closure));
}

// Hands every value of `publisher` to `to` on the thread that delivers it, while `owner`
// lives. A published property delivers its current value at once.
//
// Example:
//   platform::qt::bindPublisher(label, profile->namePublisher(),
//                               [label](const std::string& name) { label->setText(...); });
template <class T>
void bindPublisher(QObject* owner, const platform::reactive::AnyPublisher<T>& publisher,
                   std::type_identity_t<std::function<void(const T&)>> to) {
    const QPointer<QObject> guard(owner);
    internal::keepUntilDestroyed(owner, publisher.sink([guard, to = std::move(to)](const T& value) {
        if (guard) {
            to(value);
        }
    }));
}

}  // namespace platform::qt
