#pragma once

#include <optional>
#include <utility>

// One derived value of a task: the task's own stored value, and a value calculated from the
// task's children that is cached until a recalculation is asked for. Nothing invalidates the
// cache by itself: whoever changes a tree asks for the recalculation, leaf to root.
//
// `value(owner)` answers the cache when it is present and no recalculation is pending; otherwise
// it runs `owner.*calculate` first, which replaces the cache (a calculation that gives nothing
// empties it) and clears the request. It answers the stored value while the cache is empty.
//
// The calculation is part of the type and the owner is passed in, so a property costs no more
// than its values: a plan holds hundreds of thousands of tasks with six of these each. For the
// same reason the cache is a plain value beside a flag rather than a `std::optional`, whose own
// flag would be padded to the value's alignment (a date property takes 24 bytes, not 32).
// Neither copied nor moved; no lock: used by the thread that owns the task's project.
//
// Example (inside the task):
//   CalculableProperty<std::int64_t, Task, &Task::calculateCompletion> _completion{0};
//   const std::int64_t shown = _completion.value(*this);
template <class T, class Owner, std::optional<T> (Owner::*calculate)() const>
class CalculableProperty {
public:
    // The cache starts as a copy of the stored value only because `T` need not have a default;
    // it is read once a calculation has filled it.
    explicit CalculableProperty(T storedValue)
        : storedValue(std::move(storedValue)), _calculatedValue(this->storedValue) {}
    CalculableProperty(const CalculableProperty&) = delete;
    CalculableProperty& operator=(const CalculableProperty&) = delete;

    T value(const Owner& owner) const {
        if (needsCalculation()) {
            recalculate(owner);
        }
        return _hasCalculatedValue ? _calculatedValue : storedValue;
    }

    // Whether the next `value()` runs the calculation.
    bool needsCalculation() const { return !_hasCalculatedValue || _requestCalculating; }

    void recalculate(const Owner& owner) const {
        std::optional<T> calculated = (owner.*calculate)();
        _hasCalculatedValue = calculated.has_value();
        if (calculated) {
            _calculatedValue = std::move(*calculated);
        }
        _requestCalculating = false;
    }

    void requestRecalculation() { _requestCalculating = true; }

    void executeRequestIfNeeded(const Owner& owner) const {
        if (_requestCalculating) {
            recalculate(owner);
        }
    }

    T storedValue;

private:
    // The cache is filled by readers, so it changes under `const`.
    mutable T _calculatedValue;
    mutable bool _hasCalculatedValue = false;
    mutable bool _requestCalculating = false;
};
