#include <cstdint>
#include <optional>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Task/CalculableProperty.h"

namespace {

// An owner whose calculation answers what the test sets and counts its runs.
struct Owner {
    std::optional<std::int64_t> calculate() const {
        ++runs;
        return next;
    }
    std::optional<std::int64_t> next;
    mutable int runs = 0;
};

// The cache answers until a recalculation is asked for; a calculation that gives nothing empties
// it, and the stored value answers (and the next read calculates again) until one gives a value.
TEST(CalculableProperty, TheCacheAnswersUntilARequestAndAnEmptyOneFallsBackToTheStoredValue) {
    enum class Step { read, request, requestAndExecute, executeRequest, store };
    struct Case {
        const char* what;
        Step step;
        std::optional<std::int64_t> next;  // what the calculation gives from here on
        std::int64_t argument;             // the value stored by `store`
        std::int64_t expected;             // read after the step
        int runs;                          // calculations so far
    };
    const Case cases[] = {
        {"the first read calculates", Step::read, 5, 0, 5, 1},
        {"the next answers the cache", Step::read, 6, 0, 5, 1},
        {"storing leaves the cache", Step::store, 6, 7, 5, 1},
        {"a request recalculates on read", Step::request, 6, 0, 6, 2},
        {"an empty result shows the stored value", Step::request, std::nullopt, 0, 7, 3},
        {"and is tried again on every read", Step::read, std::nullopt, 0, 7, 5},
        {"until a value comes", Step::read, 8, 0, 8, 6},
        {"a request carried out at once", Step::requestAndExecute, 9, 0, 9, 7},
        {"an execution without a request does nothing", Step::executeRequest, 10, 0, 9, 7},
    };
    Owner owner;
    CalculableProperty<std::int64_t, Owner, &Owner::calculate> property(1);
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        owner.next = cs.next;
        switch (cs.step) {
            case Step::read:
                EXPECT_EQ(property.value(owner), cs.expected);
                break;
            case Step::request:
                property.requestRecalculation();
                break;
            case Step::requestAndExecute:
                property.requestRecalculation();
                property.executeRequestIfNeeded(owner);
                break;
            case Step::executeRequest:
                property.executeRequestIfNeeded(owner);
                break;
            case Step::store:
                property.storedValue = cs.argument;
                break;
        }
        EXPECT_EQ(property.value(owner), cs.expected);
        EXPECT_EQ(owner.runs, cs.runs);
    }
}

}  // namespace
