#include "platform/qt/MainQueueDriver.h"

#include <cstdlib>
#include <mutex>

#include <QMetaObject>
#include <QObject>

#include "LxLog/Log.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Queue.h"

namespace platform::qt {

// Shared with the wake-up hook, which the main queue may call from any thread up to the moment
// the hook is removed, and a little after: the receiver is dropped under the lock, so a late
// wake-up finds nothing to post to instead of a deleted object.
class MainQueueDriver::State : public std::enable_shared_from_this<State> {
public:
    State() : receiver_(new QObject) {}

    ~State() { delete receiver_; }

    void wakeUp() {
        const std::lock_guard lock(mutex_);
        if (receiver_ == nullptr || posted_) {
            return;
        }
        posted_ = true;
        QMetaObject::invokeMethod(
            receiver_, [state = shared_from_this()] { state->drain(); }, Qt::QueuedConnection);
    }

    void stop() {
        const std::lock_guard lock(mutex_);
        // Deleting the receiver drops the event still on its way.
        delete receiver_;
        receiver_ = nullptr;
    }

private:
    void drain() {
        {
            const std::lock_guard lock(mutex_);
            posted_ = false;
        }
        // Work arriving from here on wakes again and gets an event of its own.
        platform::dispatch::runPending();
    }

    std::mutex mutex_;
    QObject* receiver_;
    bool posted_ = false;
};

MainQueueDriver::MainQueueDriver() {
    if (!platform::dispatch::isMainThread()) {
        Log::fatal("The main queue driver must be made on the main thread");
        std::abort();
    }
    state_ = std::make_shared<State>();
    platform::dispatch::setMainQueueWakeUp([state = state_] { state->wakeUp(); });
}

MainQueueDriver::~MainQueueDriver() {
    platform::dispatch::setMainQueueWakeUp({});
    state_->stop();
}

}  // namespace platform::qt
