#pragma once

#include <concepts>
#include <functional>
#include <optional>
#include <utility>

// Values produced on demand or standing in for a default. None of them locks: each is used from
// one thread at a time, and a loader or calculator runs inside the read that needs it.
//
// The lazy holders are neither copied nor moved: their loaders usually capture their owner,
// and a copy would keep calling into the original.

namespace lx::internal {

// The in-place change of a wrapper's value: read by the read rule, let `change` change it,
// write it back by the write rule.
template <class Wrapper, class T>
class ModifiableWrappedValue {
public:
    template <std::invocable<T&> F>
    void modifyWrappedValue(F&& change) {
        auto& wrapper = static_cast<Wrapper&>(*this);
        T value = wrapper.wrappedValue();
        std::invoke(std::forward<F>(change), value);
        wrapper.setWrappedValue(std::move(value));
    }
};

}  // namespace lx::internal

// Runs its loader on the first read and keeps the result, an absent one included, until
// `reset()`.
//
// Example:
//   LxLazyLoadingNuallableValue<int> days([this] { return countDays(); });
//   days.wrappedValue();   // loads
//   days.reset();          // the next read loads again
template <class T>
class LxLazyLoadingNuallableValue {
public:
    explicit LxLazyLoadingNuallableValue(std::function<std::optional<T>()> loader)
        : initializer_(std::move(loader)) {}
    LxLazyLoadingNuallableValue(const LxLazyLoadingNuallableValue&) = delete;
    LxLazyLoadingNuallableValue& operator=(const LxLazyLoadingNuallableValue&) = delete;

    std::optional<T> wrappedValue() const {
        if (!calculated_) {
            value_ = initializer_();
            calculated_ = true;
        }
        return value_;
    }

    void reset() {
        calculated_ = false;
        value_.reset();
    }

private:
    mutable bool calculated_ = false;
    mutable std::optional<T> value_;
    const std::function<std::optional<T>()> initializer_;
};

// Keeps a value, computing it with its calculator whenever it is read while absent.
template <class T>
class LxLazyLoadingValue : public lx::internal::ModifiableWrappedValue<LxLazyLoadingValue<T>, T> {
public:
    explicit LxLazyLoadingValue(std::function<T()> calculator)
        : LxLazyLoadingValue(std::nullopt, std::move(calculator)) {}
    LxLazyLoadingValue(std::optional<T> value, std::function<T()> calculator)
        : value_(std::move(value)), calculator_(std::move(calculator)) {}
    LxLazyLoadingValue(const LxLazyLoadingValue&) = delete;
    LxLazyLoadingValue& operator=(const LxLazyLoadingValue&) = delete;

    T wrappedValue() const {
        if (!value_) {
            value_ = calculator_();
        }
        return *value_;
    }

    void setWrappedValue(T value) { value_ = std::move(value); }

    void reset() { value_.reset(); }

private:
    mutable std::optional<T> value_;
    std::function<T()> calculator_;
};

// A value that answers its default until one is set; once set, it never becomes absent again.
template <class T>
class LxDefaultableValue : public lx::internal::ModifiableWrappedValue<LxDefaultableValue<T>, T> {
public:
    explicit LxDefaultableValue(T defaultValue) : default_(std::move(defaultValue)) {}
    LxDefaultableValue(std::optional<T> value, T defaultValue)
        : value_(std::move(value)), default_(std::move(defaultValue)) {}

    T wrappedValue() const { return value_ ? *value_ : default_; }

    void setWrappedValue(T value) { value_ = std::move(value); }

    // The value set, or none while the default stands in.
    const std::optional<T>& innerValue() const { return value_; }

private:
    std::optional<T> value_;
    T default_;
};
