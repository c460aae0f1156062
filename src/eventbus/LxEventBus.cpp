#include "eventbus/LxBroadcastEvent.h"
#include "eventbus/LxEventBusSubscriber.h"

std::shared_ptr<platform::dispatch::SerialQueue> eventBusQueue() {
    // Made on first use; the initialisation of a local static is thread-safe.
    static const std::shared_ptr<platform::dispatch::SerialQueue> queue =
        platform::dispatch::SerialQueue::create("event_bus");
    return queue;
}

std::shared_ptr<LxEventBusSubscriber> LxEventBusSubscriber::create() {
    return std::shared_ptr<LxEventBusSubscriber>(new LxEventBusSubscriber());
}

void LxEventBusSubscriber::unregister() {
    const std::shared_ptr<void> self = shared_from_this();
    // One removal per registration: a list holding one entry per event would leave the second
    // subscription of a twice-registered event behind.
    events_.syncWrite([&self](Events& events) {
        for (const auto& weak : events) {
            if (const auto event = weak.lock()) {
                event->unregister(self);
            }
        }
        events.clear();
    });
}

LxEventBusController::~LxEventBusController() {
    stop();
}

void LxEventBusController::start() {
    if (subscriber_) {
        return;
    }
    auto subscriber = LxEventBusSubscriber::create();
    subscribeEvents(subscriber);
    subscriber_ = std::move(subscriber);
}

void LxEventBusController::stop() {
    if (!subscriber_) {
        return;
    }
    // Removed before the subscriber goes: afterwards there would be no target left to remove.
    subscriber_->unregister();
    subscriber_.reset();
}

void LxEventBusController::subscribeEvents(const std::shared_ptr<LxEventBusSubscriber>&) {}
