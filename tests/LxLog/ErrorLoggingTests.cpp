#include <optional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "LxLog/ErrorLogging.h"
#include "support/LogCapture.h"
#include "utility/LxError.h"

namespace {

const platform::CallSite kSite("open()", "/src/Manager.cpp", 3);
const std::string kErrorTag = "[\xF0\x9F\x94\xB4 error] ";
const std::string kSuffix = " \t{ (/src/Manager.cpp).(open()).(#3) }\n";

TEST(ErrorLogging, DescriptionPrefixesTheLocalizedDescription) {
    struct Case {
        std::optional<std::string_view> description;
        std::string message;
    };
    const Case cases[] = {
        {std::nullopt, "Invalid JSON"},
        {"", "Invalid JSON"},
        {"Opening failed", "Opening failed: Invalid JSON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        LogCapture capture;
        lx::log(LxError::failure("Invalid JSON"), c.description, kSite);
        EXPECT_EQ(capture.lines().at(0), kErrorTag + c.message + kSuffix);
    }
}

TEST(ErrorLogging, EmptyMessageAndForeignErrors) {
    LogCapture capture;
    lx::log(LxError::failure(""), std::nullopt, kSite);
    lx::log(std::runtime_error("disk full"), "Saving", kSite);
    lx::log(platform::AnyError(std::make_exception_ptr(7)), std::nullopt, kSite);

    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], kErrorTag + kSuffix);
    EXPECT_EQ(lines[1], kErrorTag + "Saving: disk full" + kSuffix);
    EXPECT_EQ(lines[2], kErrorTag + platform::kGenericErrorDescription + kSuffix);
}

TEST(ErrorLogging, LogDefaultsToTheCallersLocation) {
    LogCapture capture;
    const int line = __LINE__ + 1;
    lx::log(LxError::failure("boom"));

    const std::string written = capture.lines().at(0);
    EXPECT_NE(written.find("ErrorLoggingTests.cpp).("), std::string::npos) << written;
    EXPECT_TRUE(written.ends_with("(#" + std::to_string(line) + ") }\n")) << written;
}

TEST(ErrorLogging, LoggedUsesItsFixedLocationAndKeepsTheErrorType) {
    LogCapture capture;
    try {
        throw lx::logged(LxError::failure("Invalid JSON"), "Loading failed");
    } catch (const LxError& error) {
        EXPECT_EQ(error.message(), "Invalid JSON");
    }

    const std::string written = capture.lines().at(0);
    EXPECT_TRUE(written.starts_with(kErrorTag + "Loading failed: Invalid JSON \t{ (")) << written;
    EXPECT_NE(written.find("ErrorLogging.cpp).(logged(description:)).(#81) }\n"), std::string::npos)
        << written;
}

TEST(ErrorLogging, LoggedStoredErrorStillRethrowsItsType) {
    LogCapture capture;
    const platform::AnyError stored = lx::logged(platform::AnyError(LxError::failure("gone")));

    EXPECT_THROW(stored.rethrow(), LxError);
    EXPECT_TRUE(capture.contains("] gone \t{ ("));
}

// A failure's own text may carry a path or a document's text: the line takes its controls as
// "\xNN", so it cannot start a forged line, while the error, which dialogs show, keeps them.
// The caller's description is its own text and is written as it is.
TEST(ErrorLogging, TheErrorsOwnTextCannotStartALine) {
    const std::string forged =
        "plan\n[\xF0\x9F\x94\xB4 error] forged\xC2\x9B"
        "2J\tend";
    const std::string written = "plan\\x0A[\xF0\x9F\x94\xB4 error] forged\\xC2\\x9B2J\\x09end";
    const LxError error = LxError::failure(forged);
    LogCapture capture;

    lx::log(error, "Opening \"a\"", kSite);
    lx::log(std::runtime_error(forged), std::nullopt, kSite);
    lx::log(platform::AnyError(error), "Opening", kSite);
    static_cast<void>(lx::logged(LxError::failure(forged), "Loading"));
    static_cast<void>(lx::logged(platform::AnyError(error)));

    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], kErrorTag + "Opening \"a\": " + written + kSuffix);
    EXPECT_EQ(lines[1], kErrorTag + written + kSuffix);
    EXPECT_EQ(lines[2], kErrorTag + "Opening: " + written + kSuffix);
    EXPECT_TRUE(lines[3].starts_with(kErrorTag + "Loading: " + written + " \t{ (")) << lines[3];
    EXPECT_TRUE(lines[4].starts_with(kErrorTag + written + " \t{ (")) << lines[4];
    EXPECT_EQ(error.message(), forged);
}

}  // namespace
