#include "platform/dispatch/internal/WorkerPool.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include "LxLog/ErrorLogging.h"
#include "platform/dispatch/internal/Execution.h"

namespace platform::dispatch::internal {
namespace {

using namespace std::chrono_literals;

class WorkerPool {
public:
    void submit(Work task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        if (tasks_.size() > idle_ && workers_ < kMaxWorkers) {
            startWorker();
        } else {
            arrived_.notify_one();
        }
    }

private:
    static constexpr std::size_t kMaxWorkers = 64;
    static constexpr auto kIdleLifetime = 10s;

    // With `mutex_` held.
    void startWorker() {
        try {
            std::thread([this] { serve(); }).detach();
            ++workers_;
        } catch (const std::system_error& error) {
            // The workers already running take the task; without any, nothing ever would.
            if (workers_ == 0) {
                failFatally(std::string("No thread for the worker pool: ") + error.what());
            }
            lx::log(error, "Worker pool cannot grow");
            arrived_.notify_one();
        }
    }

    void serve() {
        std::unique_lock lock(mutex_);
        while (true) {
            ++idle_;
            const bool hasTask =
                arrived_.wait_for(lock, kIdleLifetime, [this] { return !tasks_.empty(); });
            --idle_;
            if (!hasTask) {
                --workers_;
                return;
            }
            Work task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            task = Work();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Work> tasks_;
    std::size_t workers_ = 0;
    std::size_t idle_ = 0;
};

}  // namespace

void runOnPool(Work task) {
    // Never destroyed: detached workers may still wait on it while the process exits.
    static WorkerPool& pool = *new WorkerPool;
    pool.submit(std::move(task));
}

}  // namespace platform::dispatch::internal
