#pragma once

#include <memory>
#include <utility>

#include "platform/dispatch/Queue.h"

namespace lx::internal {

// Applies a change to a shared object: at once on the calling thread when there is no queue,
// otherwise in one job on `queue` that holds its own copy of the value and the object weakly,
// and does nothing once the object is gone.
template <class Object, class Value, class Apply>
void applyOn(Object& object, const platform::dispatch::QueuePtr& queue, Value value, Apply apply) {
    if (!queue) {
        apply(object, std::move(value));
        return;
    }
    queue->async([weak = object.weak_from_this(), value = std::move(value), apply]() mutable {
        if (const auto strong = weak.lock()) {
            apply(*strong, std::move(value));
        }
    });
}

}  // namespace lx::internal
