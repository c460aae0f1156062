#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <utility>

namespace lx {

// A callback that holds `object` weakly: called with a value, it calls `closure` with the
// object and the value while the object lives, and does nothing once it is gone (or when it
// was null from the start). The callback never keeps the object alive.
//
// Example:
//   event.subscribe(lx::withWeak<int>(view, [](View& view, int count) { view.show(count); }));
template <class Value, class Object, class Closure>
requires std::invocable<Closure&, Object&, Value> std::function<void(Value)> withWeak(
    const std::shared_ptr<Object>& object, Closure closure) {
    return
        [weak = std::weak_ptr<Object>(object), closure = std::move(closure)](Value value) mutable {
            if (const auto strong = weak.lock()) {
                std::invoke(closure, *strong, std::forward<Value>(value));
            }
        };
}

}  // namespace lx
