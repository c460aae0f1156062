#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/FileSystemError.h"
#include "support/UtcDate.h"
#include "utility/JsonExtensions.h"
#include "utility/LxJsonFile.h"
#include "utility/LxJsonHelper.h"

namespace {

namespace fs = std::filesystem;
using platform::json::DecodingError;
using platform::json::EncodingError;

struct Member {
    std::int64_t id = 0;
    std::string name;
    std::optional<std::string> mail;
    float rate = 0;
    platform::Date joined;

    bool operator==(const Member&) const = default;

    void encode(platform::json::Writer& writer) const {
        writer.encodeObject([&](platform::json::ObjectWriter& object) {
            object.encode("Id", id);
            object.encode("Name", name);
            object.encode("Mail", mail);
            object.encode("Rate", rate);
            object.encode("Joined", joined);
        });
    }

    static Member decode(const platform::json::Value& value) {
        const auto object = value.object();
        return Member{object.decode<std::int64_t>("Id"), object.decode<std::string>("Name"),
                      object.decode<std::optional<std::string>>("Mail"),
                      object.decode<float>("Rate"), object.decode<platform::Date>("Joined")};
    }
};

fs::path sandbox() {
    return fs::path(std::getenv("TMPDIR"));
}

Member anna() {
    return Member{7, "Anna / PM", "anna@example.org", 0.1f,
                  utcDate(2024, 3, 1, 9, 15, 30).addingTimeInterval(0.25)};
}

TEST(LxJsonHelperTest, TextIsPrettyByDefaultAndEscapesSlashes) {
    const LxJsonHelper helper;
    EXPECT_EQ(helper.jsonString(anna(), LxJsonHelper::DateEncodingStrategy::iso8601(),
                                platform::StringEncoding::utf8, false),
              R"({"Id":7,"Name":"Anna \/ PM","Mail":"anna@example.org","Rate":0.1,)"
              R"("Joined":"2024-03-01T09:15:30Z"})");
    EXPECT_EQ(helper.jsonString(std::vector<int>{1}), "[\n  1\n]");
    const auto data = helper.jsonData(std::vector<int>{1});
    EXPECT_EQ(std::string(data.begin(), data.end()), "[\n  1\n]");
}

TEST(LxJsonHelperTest, SavedValuesLoadBackEqualToTheSecond) {
    const std::string one = (sandbox() / "member.json").string();
    const std::string many = (sandbox() / "members.json").string();
    Member expected = anna();
    expected.joined = utcDate(2024, 3, 1, 9, 15, 30);

    LxJsonHelper().save(anna(), one);
    EXPECT_EQ(LxJsonHelper().loadFromFilePath<Member>(one), expected);
    EXPECT_EQ(lx::loadFromJsonFile<Member>(one), expected);
    EXPECT_EQ(LxJsonFile<Member>(one).data(), expected);

    lx::save(std::vector<Member>{anna(), anna()}, many);
    EXPECT_EQ(LxJsonHelper().loadArrayFromFilePath<Member>(many),
              (std::vector<Member>{expected, expected}));
    EXPECT_EQ(LxJsonHelper().loadArray<Member>(lx::jsonData(std::vector<Member>{anna()})),
              std::vector<Member>{expected});
    EXPECT_EQ(LxJsonHelper().load<Member>(lx::jsonString(anna())), expected);

    LxJsonFile<Member>(one).save(many);
    EXPECT_EQ(platform::readFileContents(many), platform::readFileContents(one));
}

TEST(LxJsonHelperTest, ATopLevelNullReadsAsAnAbsentValue) {
    const std::string path = (sandbox() / "null.json").string();
    platform::writeFileAtomically(path, "null");
    EXPECT_EQ(LxJsonHelper().loadFromFilePath<std::optional<Member>>(path), std::nullopt);
}

TEST(LxJsonHelperTest, LoadingFromAPathFailsWithTheErrorOfItsCause) {
    fs::create_directory(sandbox() / "folder");
    platform::writeFileAtomically(sandbox() / "broken.json", R"({"Id": 7,)");
    struct Row {
        std::string path;
        std::string expected;
    };
    const Row rows[] = {
        {"", "file \"\" is not exists"},
        {"   ", "file \"   \" is not exists"},
        {(sandbox() / "missing.json").string(),
         "file \"" + (sandbox() / "missing.json").string() + "\" is not exists"},
        {(sandbox() / "folder").string(), "read error"},
        {(sandbox() / "broken.json").string(), "decoding error"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        try {
            static_cast<void>(LxJsonHelper().loadFromFilePath<Member>(row.path));
            ADD_FAILURE() << "loaded";
        } catch (const LxError& error) {
            EXPECT_EQ(error.message(), row.expected);
        } catch (const platform::FileSystemError& error) {
            EXPECT_EQ(row.expected, "read error");
            EXPECT_EQ(error.code().value(), EISDIR);
        } catch (const DecodingError&) {
            EXPECT_EQ(row.expected, "decoding error");
        }
    }
}

TEST(LxJsonHelperTest, AnArrayLoadOfAnObjectIsADecodingError) {
    const auto data = lx::jsonData(anna());
    EXPECT_THROW(static_cast<void>(LxJsonHelper().loadArray<Member>(data)), DecodingError);
}

TEST(LxJsonHelperTest, TextThatDoesNotFitTheEncodingFailsWithItsMessage) {
    Member accented = anna();
    accented.name = "Ren\u00e9";
    try {
        static_cast<void>(LxJsonHelper().jsonString(accented,
                                                    LxJsonHelper::DateEncodingStrategy::iso8601(),
                                                    platform::StringEncoding::ascii));
        ADD_FAILURE() << "converted";
    } catch (const LxError& error) {
        EXPECT_EQ(error.message(),
                  "Failed to convert object to json string using encoding \"Western (ASCII)\"");
    }
    try {
        static_cast<void>(LxJsonHelper().load<Member>(lx::jsonString(accented),
                                                      LxJsonHelper::DateDecodingStrategy::iso8601(),
                                                      platform::StringEncoding::ascii));
        ADD_FAILURE() << "converted";
    } catch (const LxError& error) {
        EXPECT_EQ(error.message(),
                  "Failed to encoding json string using encoding \"Western (ASCII)\"");
    }
}

TEST(LxJsonHelperTest, AValueThatCannotBeEncodedLeavesTheFileUntouched) {
    const std::string path = (sandbox() / "member.json").string();
    LxJsonHelper().save(anna(), path);
    const auto before = platform::readFileContents(path);
    Member broken = anna();
    broken.rate = std::nanf("");

    EXPECT_THROW(static_cast<void>(LxJsonHelper().jsonData(broken)), EncodingError);
    try {
        LxJsonHelper().save(broken, path);
        ADD_FAILURE() << "saved";
    } catch (const LxError& error) {
        EXPECT_EQ(error.message(),
                  "Failed to convert object to data before saving to \"" + path + "\"");
    }
    EXPECT_EQ(platform::readFileContents(path), before);
}

TEST(LxJsonHelperTest, SavingIntoAMissingFolderFails) {
    EXPECT_THROW(LxJsonHelper().save(anna(), (sandbox() / "missing" / "member.json").string()),
                 platform::FileSystemError);
}

}  // namespace
