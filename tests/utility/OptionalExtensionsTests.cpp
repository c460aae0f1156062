#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "utility/LxError.h"
#include "utility/OptionalExtensions.h"

namespace {

const std::optional<int> kSome = 4;
const std::optional<int> kNone;

TEST(OptionalExtensions, FallbacksRunOnlyWhenNeeded) {
    int fallbackCalls = 0;
    const auto fallback = [&fallbackCalls] {
        ++fallbackCalls;
        return 9;
    };
    EXPECT_EQ(lx::orElse(kSome, fallback), 4);
    EXPECT_EQ(fallbackCalls, 0);
    EXPECT_EQ(lx::orElse(kNone, fallback), 9);
    EXPECT_EQ(fallbackCalls, 1);

    int transformCalls = 0;
    const auto twice = [&transformCalls](int v) {
        ++transformCalls;
        return v * 2;
    };
    EXPECT_EQ(lx::map(kNone, twice, -1), -1);
    EXPECT_EQ(transformCalls, 0);
    EXPECT_EQ(lx::map(kSome, twice, -1), 8);
    EXPECT_EQ(lx::mapElse(kSome, twice, fallback), 8);
    EXPECT_EQ(fallbackCalls, 1);
    EXPECT_EQ(lx::mapElse(kNone, twice, fallback), 9);
    EXPECT_EQ(transformCalls, 2);
}

TEST(OptionalExtensions, ValuesFallbacksAndThrows) {
    EXPECT_TRUE(lx::isSome(kSome));
    EXPECT_TRUE(lx::isNone(kNone));
    EXPECT_EQ(lx::or_(kNone, 7), 7);
    EXPECT_EQ(lx::or_(kSome, 7), 4);
    EXPECT_EQ(lx::orThrow(kSome, LxError::failure("missing")), 4);
    EXPECT_THROW(lx::orThrow(kNone, LxError::failure("missing")), LxError);

    int seen = 0;
    lx::doIfSome(kSome, [&seen](int v) { seen = v; });
    lx::doIfSome(kNone, [&seen](int) { seen = -1; });
    EXPECT_EQ(seen, 4);
}

TEST(OptionalExtensions, AndAndZip) {
    const std::optional<std::string> text = "t";
    EXPECT_EQ(lx::and_(kSome, text), text);
    EXPECT_EQ(lx::and_(kSome, std::optional<std::string>()), std::nullopt);
    EXPECT_EQ(lx::and_(kNone, text), std::nullopt);
    EXPECT_EQ(lx::andThen(kSome, [](int v) { return std::optional<int>(v + 1); }), 5);
    EXPECT_EQ(lx::andThen(kNone, [](int v) { return std::optional<int>(v + 1); }), std::nullopt);

    EXPECT_EQ(lx::zip2(kSome, text), (std::pair<int, std::string>(4, "t")));
    EXPECT_EQ(lx::zip2(kNone, text), std::nullopt);
    EXPECT_EQ(lx::zip3(kSome, text, std::optional<double>(1.5)),
              (std::tuple<int, std::string, double>(4, "t", 1.5)));
    EXPECT_EQ(lx::zip3(kSome, text, std::optional<double>()), std::nullopt);
    EXPECT_EQ(lx::zip3(kSome, std::optional<std::string>(), std::optional<double>(1.5)),
              std::nullopt);
}

TEST(OptionalExtensions, ShouldAndOptionalErrors) {
    EXPECT_EQ(lx::should([] {}).has_value(), false);

    int sideEffect = 0;
    const auto error = lx::should([&sideEffect] {
        sideEffect = 1;
        throw LxError::failure("late");
    });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->is<LxError>());
    EXPECT_EQ(sideEffect, 1);

    std::string handled;
    lx::or_(error, [&handled](const platform::AnyError& e) { handled = e.localizedDescription(); });
    lx::or_(std::optional<platform::AnyError>(),
            [&handled](const platform::AnyError&) { handled = "unexpected"; });
    EXPECT_EQ(handled, "late");
}

}  // namespace
