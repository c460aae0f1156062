#pragma once

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "eventbus/LxBroadcastEvent.h"
#include "utility/LxAtomic.h"

// An object that subscribes itself to events and can leave all of them again at once.
//
// Each registration is remembered (the event held weakly), so `unregister()` removes exactly one
// subscription per registration, from every event that still exists.
//
// Example:
//   auto subscriber = LxEventBusSubscriber::create();
//   subscriber->register_(projectSaved, true, [](const std::string& path) { ... });
//   subscriber->unregister();
class LxEventBusSubscriber : public std::enable_shared_from_this<LxEventBusSubscriber> {
public:
    static std::shared_ptr<LxEventBusSubscriber> create();

    LxEventBusSubscriber(const LxEventBusSubscriber&) = delete;
    LxEventBusSubscriber& operator=(const LxEventBusSubscriber&) = delete;
    virtual ~LxEventBusSubscriber() = default;

    template <class T>
    void register_(const std::shared_ptr<LxBroadcastEvent<T>>& to, bool onMainThread,
                   std::type_identity_t<typename LxBroadcastEvent<T>::Block> block) {
        to->register_(shared_from_this(), onMainThread, std::move(block));
        events_.asyncWrite([event = std::weak_ptr<LxEventBusEvent>(to)](Events& events) {
            events.push_back(event);
        });
    }

    // Leaves every event registered to. The removals are queued on the events before this
    // returns, so a delivery this thread starts afterwards no longer reaches this subscriber.
    void unregister();

protected:
    LxEventBusSubscriber() = default;

private:
    using Events = std::vector<std::weak_ptr<LxEventBusEvent>>;

    LxAtomic<Events> events_{Events{}};
};

// The base of an object that subscribes to events while it is started.
//
// `start()` makes a subscriber and lets the derived class register its events with it in
// `subscribeEvents`; `stop()` and destruction remove those subscriptions at once and drop the
// subscriber. `start` and `stop` are called from one thread at a time.
//
// Example:
//   class StatusController : public LxEventBusController {
//       void subscribeEvents(const std::shared_ptr<LxEventBusSubscriber>& subscriber) override {
//           subscriber->register_(projectSaved, true, [this](const std::string&) { refresh(); });
//       }
//   };
class LxEventBusController {
public:
    LxEventBusController() = default;
    virtual ~LxEventBusController();
    LxEventBusController(const LxEventBusController&) = delete;
    LxEventBusController& operator=(const LxEventBusController&) = delete;

    // Does nothing while started.
    void start();
    void stop();

protected:
    // Registers the derived class's events; does nothing here.
    virtual void subscribeEvents(const std::shared_ptr<LxEventBusSubscriber>& subscriber);

private:
    std::shared_ptr<LxEventBusSubscriber> subscriber_;
};
