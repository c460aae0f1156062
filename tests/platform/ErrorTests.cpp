#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/foundation/AnyError.h"
#include "platform/foundation/Error.h"

namespace {

class NamedError : public platform::Error {
public:
    NamedError() : platform::Error("named failure") {}
};

TEST(Error, LocalizedDescriptionOfEveryKindOfFailure) {
    EXPECT_EQ(platform::localizedDescription(NamedError()), "named failure");
    EXPECT_EQ(platform::localizedDescription(std::runtime_error("disk full")), "disk full");
    EXPECT_EQ(platform::localizedDescription(std::make_exception_ptr(NamedError())),
              "named failure");
    EXPECT_EQ(platform::localizedDescription(std::make_exception_ptr(42)),
              platform::kGenericErrorDescription);
    EXPECT_EQ(platform::localizedDescription(std::exception_ptr()),
              platform::kGenericErrorDescription);
}

TEST(AnyError, KeepsTheDynamicTypeOfTheCaughtError) {
    platform::AnyError stored = [] {
        try {
            throw NamedError();
        } catch (...) {
            return platform::AnyError::current();
        }
    }();

    EXPECT_TRUE(stored.is<NamedError>());
    EXPECT_TRUE(stored.is<platform::Error>());
    EXPECT_FALSE(stored.is<std::runtime_error>());
    EXPECT_EQ(stored.localizedDescription(), "named failure");
    EXPECT_THROW(stored.rethrow(), NamedError);
}

}  // namespace
