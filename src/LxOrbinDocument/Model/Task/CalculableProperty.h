#pragma once

#include <functional>
#include <optional>
#include <utility>

// One derived value of a task: the task's own stored value, and a value calculated from the
// task's children that is cached until a recalculation is asked for. Nothing invalidates the
// cache by itself: whoever changes a tree asks for the recalculation, leaf to root.
//
// `value()` answers the cache when it is present and no recalculation is pending; otherwise it
// runs the calculation first, which replaces the cache (a calculation that gives nothing empties
// it) and clears the request. It answers the stored value while the cache is empty.
//
// Lives inside its task and is neither copied nor moved: the calculation refers back to the
// task. No lock; used by the thread that owns the task's project.
//
// Example:
//   CalculableProperty<std::int64_t> completion(0);
//   completion.bind([this] { return calculateGroupCompletedPercentage(); });
//   const std::int64_t shown = completion.value();
template <class T>
class CalculableProperty {
public:
    using Calculation = std::function<std::optional<T>()>;

    explicit CalculableProperty(T storedValue) : storedValue(std::move(storedValue)) {}
    CalculableProperty(const CalculableProperty&) = delete;
    CalculableProperty& operator=(const CalculableProperty&) = delete;

    void bind(Calculation calculation) { _calFunc = std::move(calculation); }

    T value() const {
        if (needsCalculation()) {
            recalculate();
        }
        return _calculatedValue ? *_calculatedValue : storedValue;
    }

    // Whether the next `value()` runs the calculation.
    bool needsCalculation() const { return !_calculatedValue || _requestCalculating; }

    void recalculate() const {
        _calculatedValue = _calFunc ? _calFunc() : std::nullopt;
        _requestCalculating = false;
    }

    void requestRecalculation() { _requestCalculating = true; }

    void executeRequestIfNeeded() const {
        if (_requestCalculating) {
            recalculate();
        }
    }

    T storedValue;

private:
    // The cache is filled by readers, so it changes under `const`.
    mutable std::optional<T> _calculatedValue;
    Calculation _calFunc;
    mutable bool _requestCalculating = false;
};
