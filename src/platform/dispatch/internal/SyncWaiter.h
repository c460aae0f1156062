#pragma once

#include <condition_variable>
#include <mutex>

namespace platform::dispatch::internal {

// A `sync` caller waiting in a queue's line for its turn; it lives on the caller's stack and is
// used only with the queue's mutex held.
class SyncWaiter {
public:
    void waitForTurn(std::unique_lock<std::mutex>& lock) {
        granted_.wait(lock, [this] { return isGranted_; });
    }

    void grant() {
        isGranted_ = true;
        granted_.notify_one();
    }

private:
    std::condition_variable granted_;
    bool isGranted_ = false;
};

}  // namespace platform::dispatch::internal
