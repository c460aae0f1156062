#pragma once

#include <memory>
#include <utility>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/Queue.h"

// Shared objects whose teardown must not stall the thread that happens to let go of them last:
// a project of a hundred thousand tasks takes a third of a second to free, and the last copy
// of it is often dropped on the main thread (a cleared list, a replaced profile, a closed view).
//
// The answer shares `object` as usual; when the last copy of the answer goes, on whatever
// thread, the object itself is handed to `queue` and released there. Copies of `object` made
// apart from the answer keep it alive as they always would. Any thread.
//
// Example:
//   auto project = lx::releasedInBackground(documents->load(file, folder));
namespace lx {

template <class T>
std::shared_ptr<T> releasedOn(platform::dispatch::QueuePtr queue, std::shared_ptr<T> object) {
    if (!object) {
        return object;
    }
    // The holder only posts: the release runs when the posted work is destroyed on the queue.
    class Holder {
    public:
        Holder(platform::dispatch::QueuePtr queue, std::shared_ptr<T> object)
            : queue_(std::move(queue)), object_(std::move(object)) {}
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;
        ~Holder() {
            queue_->async([released = std::move(object_)] {});
        }

    private:
        platform::dispatch::QueuePtr queue_;
        std::shared_ptr<T> object_;
    };
    T* const pointer = object.get();
    auto holder = std::make_shared<Holder>(std::move(queue), std::move(object));
    return std::shared_ptr<T>(std::move(holder), pointer);
}

// The same on the global queue of class background.
template <class T>
std::shared_ptr<T> releasedInBackground(std::shared_ptr<T> object) {
    return releasedOn(platform::dispatch::globalQueue(platform::dispatch::QoS::background),
                      std::move(object));
}

}  // namespace lx
