// The main of every test executable: each test runs in a fresh, private temporary folder
// ($TMPDIR) that is removed afterwards, with the time zone and locale pinned (UTC, en_US) at its
// start, whatever an earlier test left behind.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"

namespace {

// Every test starts in UTC and en_US; tests of other zones or locales pin theirs with
// platform::ScopedTimeZoneAndLocale.
class PinnedTimeZoneAndLocalePerTest : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override {
        platform::setCurrentTimeZoneAndLocale("UTC", "en_US");
    }
};

class TemporaryFolderPerTest : public testing::EmptyTestEventListener {
public:
    explicit TemporaryFolderPerTest(std::filesystem::path parent) : parent_(std::move(parent)) {}

    void OnTestStart(const testing::TestInfo&) override {
        std::string pattern = (parent_ / "orbin-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        current_ = pattern;
        setenv("TMPDIR", current_.c_str(), 1);
    }

    void OnTestEnd(const testing::TestInfo&) override {
        std::error_code ignored;
        std::filesystem::remove_all(current_, ignored);
        setenv("TMPDIR", parent_.c_str(), 1);
    }

private:
    std::filesystem::path parent_;
    std::filesystem::path current_;
};

std::filesystem::path systemTemporaryFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
}

}  // namespace

int main(int argc, char** argv) {
    setenv("TZ", "UTC", 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(
        new TemporaryFolderPerTest(systemTemporaryFolder()));
    testing::UnitTest::GetInstance()->listeners().Append(new PinnedTimeZoneAndLocalePerTest);
    return RUN_ALL_TESTS();
}
