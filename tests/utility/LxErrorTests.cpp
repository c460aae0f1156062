#include <gtest/gtest.h>

#include "utility/LxError.h"
#include "utility/LxTry.h"

namespace {

TEST(LxError, LocalizedDescriptionIsExactlyTheMessage) {
    for (const char* message : {"", "Invalid folder", "  spaced  "}) {
        const LxError error = LxError::failure(message);
        EXPECT_EQ(error.localizedDescription(), message);
        EXPECT_EQ(platform::localizedDescription(std::make_exception_ptr(error)), message);
    }
}

TEST(LxTry, ThrowingOperationKeepsItsSideEffectAndAnswersFalse) {
    int sideEffect = 0;
    EXPECT_FALSE(LxTry::trueOrFalse([&sideEffect] {
        sideEffect = 1;
        throw LxError::failure("x");
    }));
    EXPECT_EQ(sideEffect, 1);
    EXPECT_TRUE(LxTry::trueOrFalse([] {}));
    EXPECT_FALSE(LxTry::trueOrFalse([] { throw 3; }));
    EXPECT_NO_THROW(LxTry::doNotCareError([] { throw LxError::failure("dropped"); }));
}

}  // namespace
