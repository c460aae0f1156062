#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/Result.h"

namespace {

using platform::AnyError;
using platform::Result;

TEST(Result, SuccessCarriesItsValueAndNoError) {
    const auto result = Result<std::string>::success("plan");
    int failureCalls = 0;
    result.failureOperate([&](const AnyError&) { ++failureCalls; });

    EXPECT_TRUE(result.isSuccess());
    EXPECT_FALSE(result.isFailed());
    EXPECT_FALSE(result.error().has_value());
    EXPECT_EQ(result.get(), "plan");
    EXPECT_EQ(failureCalls, 0);
}

TEST(Result, FailureCarriesItsErrorAndThrowsItOnGet) {
    const auto result = Result<int>::failure(std::invalid_argument("bad id"));
    std::string seen;
    result.failureOperate([&](const AnyError& error) { seen = error.localizedDescription(); });

    EXPECT_TRUE(result.isFailed());
    ASSERT_TRUE(result.error().has_value());
    EXPECT_TRUE(result.error()->is<std::invalid_argument>());
    EXPECT_EQ(seen, "bad id");
    EXPECT_THROW((void)result.get(), std::invalid_argument);
}

TEST(Result, TypedFailureAndVoidSuccess) {
    const auto failed = Result<void, std::runtime_error>::failure(std::runtime_error("late"));
    const auto done = Result<void, std::runtime_error>::success();

    EXPECT_THROW(failed.get(), std::runtime_error);
    EXPECT_EQ(failed.error()->what(), std::string("late"));
    EXPECT_NO_THROW(done.get());
    EXPECT_TRUE(done.isSuccess());
}

}  // namespace
