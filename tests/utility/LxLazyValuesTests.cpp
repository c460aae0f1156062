#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "utility/LxLazyValues.h"

namespace {

TEST(LxLazyLoadingNuallableValue, LoadsOnceEvenWhenAbsentUntilReset) {
    int loads = 0;
    std::optional<int> answer;
    LxLazyLoadingNuallableValue<int> days([&] {
        ++loads;
        return answer;
    });
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(days.wrappedValue(), std::nullopt);
    answer = 12;
    EXPECT_EQ(days.wrappedValue(), std::nullopt) << "the absent result is kept";
    EXPECT_EQ(loads, 1);

    days.reset();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(days.wrappedValue(), 12);
    EXPECT_EQ(days.wrappedValue(), 12);
    EXPECT_EQ(loads, 2);
}

TEST(LxLazyLoadingValue, CalculatesOnlyWhileAbsent) {
    int calculations = 0;
    const auto calculator = [&calculations] {
        ++calculations;
        return std::string("computed");
    };
    LxLazyLoadingValue<std::string> given(std::string("given"), calculator);
    EXPECT_EQ(given.wrappedValue(), "given");
    given.modifyWrappedValue([](std::string& value) { value += "!"; });
    EXPECT_EQ(given.wrappedValue(), "given!");
    EXPECT_EQ(calculations, 0);

    given.reset();
    EXPECT_EQ(given.wrappedValue(), "computed");
    EXPECT_EQ(given.wrappedValue(), "computed");
    EXPECT_EQ(calculations, 1);

    LxLazyLoadingValue<std::string> empty(calculator);
    empty.setWrappedValue("written");
    EXPECT_EQ(empty.wrappedValue(), "written");
    EXPECT_EQ(calculations, 1);
}

TEST(LxDefaultableValue, AnswersTheDefaultUntilAValueIsSet) {
    LxDefaultableValue<std::string> currency("EUR");
    EXPECT_EQ(currency.wrappedValue(), "EUR");
    EXPECT_EQ(currency.innerValue(), std::nullopt);

    currency.modifyWrappedValue([](std::string& value) { value += " (2)"; });
    EXPECT_EQ(currency.wrappedValue(), "EUR (2)");
    EXPECT_EQ(currency.innerValue(), "EUR (2)");

    const LxDefaultableValue<std::string> copy = currency;
    currency.setWrappedValue("USD");
    EXPECT_EQ(copy.wrappedValue(), "EUR (2)") << "a value type: copies are independent";

    EXPECT_EQ(LxDefaultableValue<std::string>("CHF", "EUR").wrappedValue(), "CHF");
}

}  // namespace
