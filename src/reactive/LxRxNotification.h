#pragma once

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/foundation/NotificationCenter.h"
#include "platform/reactive/AnyCancellable.h"
#include "platform/reactive/AnyPublisher.h"
#include "utility/LxAsync.h"

// Typed notifications on the process's notification centre: anyone who knows the name can post
// or listen, with no shared object between them.
//
// A notification's payload travels as its object. A listener of `LxRxNotification<T>` receives
// only the posts of its name whose object is exactly a T; posts without an object or with an
// object of another type are dropped without a trace (an `int` is not read as a `double`).
// An optional payload travels as its value, and "none" as a post without an object, which
// reaches nobody.
//
// Example:
//   const LxRxNotification<int> projectCount = "ProjectCount";
//   const auto sink = projectCount.sink([](const int& count) { ... });   // keep it
//   projectCount.send(3);

// A subscription that can be ended.
class LxRxNotificationCancellable {
public:
    virtual ~LxRxNotificationCancellable() = default;
    virtual void cancel() = 0;
};

namespace lx::internal {

// How a payload of type T travels as a notification's object.
template <class T>
struct NotificationPayload {
    static std::any object(T value) { return std::any(std::move(value)); }
    static std::optional<T> read(const std::any& object) {
        const T* payload = std::any_cast<T>(&object);
        return payload ? std::optional<T>(*payload) : std::nullopt;
    }
};

template <class T>
struct NotificationPayload<std::optional<T>> {
    static std::any object(std::optional<T> value) {
        return value ? std::any(std::move(*value)) : std::any();
    }
    static std::optional<std::optional<T>> read(const std::any& object) {
        const T* payload = std::any_cast<T>(&object);
        return payload ? std::optional<std::optional<T>>(*payload) : std::nullopt;
    }
};

// The payloads of the notifications named `name` whose object is a T; never completes.
template <class T>
platform::reactive::AnyPublisher<T> notificationPayloads(std::string name) {
    return platform::reactive::AnyPublisher<T>(
        [name =
             std::move(name)](platform::reactive::Subscriber<T, platform::reactive::Never> down) {
            auto& center = platform::NotificationCenter::defaultCenter();
            const auto token =
                center.addObserver(name, [receive = down.receiveValue](const std::any& object) {
                    if (const auto payload = NotificationPayload<T>::read(object)) {
                        receive(*payload);
                    }
                });
            return platform::reactive::AnyCancellable(
                [token] { platform::NotificationCenter::defaultCenter().removeObserver(token); });
        });
}

}  // namespace lx::internal

template <class T>
class LxRxNotification;

// A live subscription to a notification: the closure given to `LxRxNotification::sink` runs
// for each payload until `cancel()` or until the sink is destroyed. Thread-safe.
template <class T>
class LxRxNotificationSink : public LxRxNotificationCancellable {
public:
    ~LxRxNotificationSink() override { cancel(); }
    LxRxNotificationSink(const LxRxNotificationSink&) = delete;
    LxRxNotificationSink& operator=(const LxRxNotificationSink&) = delete;

    const std::string& name() const { return name_; }

    // A new publisher of this name's payloads, apart from the sink's own subscription; it
    // never completes.
    platform::reactive::AnyPublisher<T> publisher() const {
        return lx::internal::notificationPayloads<T>(name_);
    }

    // Ends the subscription; later calls do nothing. A payload already handed to the main
    // queue still reaches the closure.
    void cancel() override {
        std::optional<platform::reactive::AnyCancellable> subscription;
        {
            const std::lock_guard lock(mutex_);
            subscription.swap(cancellable_);
        }
        if (subscription) {
            subscription->cancel();
        }
    }

private:
    friend class LxRxNotification<T>;

    explicit LxRxNotificationSink(std::string name) : name_(std::move(name)) {}

    const std::string name_;
    std::mutex mutex_;
    std::optional<platform::reactive::AnyCancellable> cancellable_;
};

// The notification named by a text; it can be written as a string literal. A value: copies
// name the same notification.
template <class T>
class LxRxNotification {
public:
    LxRxNotification(std::string name) : name_(std::move(name)) {}  // NOLINT: a literal names it
    LxRxNotification(const char* name) : name_(name) {}             // NOLINT: a literal names it

    const std::string& name() const { return name_; }

    // Posts `value` as the object of a notification of this name; every listener runs before
    // this returns (on this thread, or queued on the main queue when it asked for that).
    void send(T value) const {
        platform::NotificationCenter::defaultCenter().post(
            name_, lx::internal::NotificationPayload<T>::object(std::move(value)));
    }

    // Listens from now on until the sink is cancelled or destroyed: the closure runs on the
    // posting thread inside `send`, or with `dispatchToMain` in a later turn of the main queue
    // (also when posted on the main thread).
    std::shared_ptr<LxRxNotificationSink<T>> sink(bool dispatchToMain,
                                                  std::function<void(const T&)> closure) const {
        std::shared_ptr<LxRxNotificationSink<T>> sink(new LxRxNotificationSink<T>(name_));
        std::function<void(const T&)> receive = std::move(closure);
        if (dispatchToMain) {
            receive = [closure = std::move(receive)](const T& payload) {
                LxAsync::main([closure, payload] { closure(payload); });
            };
        }
        sink->cancellable_.emplace(
            lx::internal::notificationPayloads<T>(name_).sink(std::move(receive)));
        return sink;
    }

    std::shared_ptr<LxRxNotificationSink<T>> sink(std::function<void(const T&)> closure) const {
        return sink(false, std::move(closure));
    }

private:
    std::string name_;
};
