#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "utility/LxOnceRunner.h"
#include "utility/LxValueEquatable.h"
#include "utility/WithWeak.h"

namespace {

TEST(LxOnceRunner, RunsOnlyTheFirstClosureAndNothingFromInsideIt) {
    LxOnceRunner runner;
    int outer = 0;
    int inner = 0;
    runner.run([&] {
        ++outer;
        runner.run([&inner] { ++inner; });
    });
    runner.run([&outer] { ++outer; });
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 0);
}

struct Rate {
    double amount;
    std::string unit;
    static bool isValueSame(const Rate& a, const Rate& b) { return a.amount == b.amount; }
};

TEST(LxValueEquatable, AsksTheTypesOwnRule) {
    static_assert(LxValueEquatable<Rate>);
    static_assert(!LxValueEquatable<int>);
    EXPECT_TRUE(lxIsValueSame(Rate{10, "h"}, Rate{10, "d"}));
    EXPECT_FALSE(lxIsValueSame(Rate{10, "h"}, Rate{12, "h"}));
}

struct Counter {
    int total = 0;
};

TEST(WithWeak, CallsWhileTheObjectLivesWithoutKeepingIt) {
    auto counter = std::make_shared<Counter>();
    const std::weak_ptr<Counter> watch = counter;
    int calls = 0;
    const auto add = lx::withWeak<int>(counter, [&calls](Counter& c, int amount) {
        ++calls;
        c.total += amount;
    });
    add(3);
    EXPECT_EQ(counter->total, 3);

    counter.reset();
    EXPECT_TRUE(watch.expired());
    add(4);
    EXPECT_EQ(calls, 1);

    const auto none =
        lx::withWeak<int>(std::shared_ptr<Counter>(), [&calls](Counter&, int) { ++calls; });
    none(1);
    EXPECT_EQ(calls, 1);
}

}  // namespace
