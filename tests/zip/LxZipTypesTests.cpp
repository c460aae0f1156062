#include <optional>
#include <unordered_set>

#include <gtest/gtest.h>

#include "zip/LxZipCompression.h"
#include "zip/LxZipError.h"

namespace {

TEST(LxZipCompression, RawValuesAndDeflateLevels) {
    struct Case {
        std::int64_t rawValue;
        std::optional<LxZipCompression> compression;
        int level;
    };
    const Case cases[] = {
        {-1, std::nullopt, 0},
        {0, LxZipCompression::NoCompression, 0},
        {1, LxZipCompression::BestSpeed, 1},
        {2, LxZipCompression::DefaultCompression, -1},
        {3, LxZipCompression::BestCompression, 9},
        {4, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rawValue);
        const std::optional<LxZipCompression> compression =
            LxZipCompression::fromRawValue(c.rawValue);
        EXPECT_EQ(compression, c.compression);
        if (compression) {
            EXPECT_EQ(compression->rawValue(), c.rawValue);
            EXPECT_EQ(compression->deflateLevel(), c.level);
        }
    }
}

TEST(LxZipError, TextsAndTheGenericDescription) {
    EXPECT_EQ(LxZipError::fileNotFound().description(), "File not found.");
    EXPECT_EQ(LxZipError::unzipFail().description(), "Failed to unzip file.");
    EXPECT_EQ(LxZipError::zipFail().description(), "Failed to zip file.");
    EXPECT_EQ(LxZipError::zipFail().localizedDescription(),
              "The operation could not be completed. (LxZipError error 2.)");

    const std::unordered_set<LxZipError> distinct = {
        LxZipError::unzipFail(), LxZipError::unzipFail(), LxZipError::zipFail()};
    EXPECT_EQ(distinct.size(), 2U);
    EXPECT_EQ(distinct.count(LxZipError::unzipFail()), 1U);
}

}  // namespace
