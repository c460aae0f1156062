#include "platform/dispatch/ConcurrentPerform.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/dispatch/ConcurrentQueue.h"

namespace platform::dispatch {

namespace {

// What the calling thread and its helpers share. A helper that starts after every iteration
// was taken touches only the counter, never `work`, which lives as long as the call.
struct Iterations {
    Iterations(std::size_t count, const std::function<void(std::size_t)>& work)
        : count(count), work(work) {}

    // Runs iterations until none is left to take.
    void runAvailable() {
        for (std::size_t index = next.fetch_add(1); index < count; index = next.fetch_add(1)) {
            std::exception_ptr thrown;
            try {
                work(index);
            } catch (...) {
                thrown = std::current_exception();
            }
            const std::lock_guard lock(mutex);
            // Moved, never copied: the caller is then the only holder of the failure it throws.
            if (thrown && !failure) {
                failure = std::move(thrown);
            }
            thrown = nullptr;
            if (++finished == count) {
                allFinished.notify_all();
            }
        }
    }

    // The failure is taken out of the shared state: a helper that lets go of that state later
    // must not be the one that frees the exception the caller is still handling.
    void awaitAll() {
        std::exception_ptr thrown;
        {
            std::unique_lock lock(mutex);
            allFinished.wait(lock, [this] { return finished == count; });
            thrown = std::exchange(failure, nullptr);
        }
        if (thrown) {
            std::rethrow_exception(thrown);
        }
    }

    const std::size_t count;
    const std::function<void(std::size_t)>& work;
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable allFinished;
    std::size_t finished = 0;
    std::exception_ptr failure;
};

}  // namespace

void concurrentPerform(std::size_t iterations, const std::function<void(std::size_t)>& work) {
    if (iterations == 0) {
        return;
    }
    const auto shared = std::make_shared<Iterations>(iterations, work);
    const std::size_t helpers =
        std::min<std::size_t>(iterations - 1, std::max(std::thread::hardware_concurrency(), 1U));
    for (std::size_t helper = 0; helper < helpers; ++helper) {
        globalQueue(QoS::unspecified)->async([shared] { shared->runAvailable(); });
    }
    shared->runAvailable();
    shared->awaitAll();
}

}  // namespace platform::dispatch
