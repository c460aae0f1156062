#pragma once

#include <memory>
#include <utility>

#include "platform/reactive/ObservableObject.h"

namespace lx {

// A value with an identity: a member function `id()` or a data member `id`.
template <class T>
concept Identifiable = requires(const T& value) {
    value.id();
}
|| requires(const T& value) {
    value.id;
};

}  // namespace lx

// Wraps one published value and lets its members be read through the object: `object->count`
// reads the current value's `count`, every time. Where the value has an id, so does the
// object. Not locked: used where its watchers live.
//
// Example:
//   const auto member = LxPassthroughBindableObject<Member>::create(anna);
//   member->setWrappedValue(renamed);
//   const std::string& name = (*member)->name;
template <class T>
class LxPassthroughBindableObject final : public platform::reactive::ObservableObject {
public:
    static std::shared_ptr<LxPassthroughBindableObject> create(T value) {
        return std::shared_ptr<LxPassthroughBindableObject>(
            new LxPassthroughBindableObject(std::move(value)));
    }

    const T& wrappedValue() const { return wrappedValue_.get(); }
    void setWrappedValue(T value) { wrappedValue_.set(std::move(value)); }
    platform::reactive::AnyPublisher<T> wrappedValuePublisher() const {
        return wrappedValue_.publisher();
    }

    // Valid until the next assignment of the wrapped value.
    const T* operator->() const { return &wrappedValue_.get(); }

    auto id() const requires lx::Identifiable<T> {
        if constexpr (requires { wrappedValue().id(); }) {
            return wrappedValue().id();
        } else {
            return wrappedValue().id;
        }
    }

private:
    explicit LxPassthroughBindableObject(T value) : wrappedValue_(*this, std::move(value)) {}

    platform::reactive::Published<T> wrappedValue_;
};
