#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Json/DocumentTestSupport.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "platform/foundation/DateContext.h"
#include "platform/json/CodingError.h"
#include "support/FileTestHelpers.h"
#include "support/LogCapture.h"
#include "support/UtcDate.h"

namespace {

using namespace document_test;

constexpr const char* kNotJson = "the top level: The data is not valid JSON: ";
using platform::json::DecodingError;

constexpr const char* kFixture = "every-key-project.moc";
constexpr std::int64_t kTwoTo53PlusOne = 9007199254740993;

std::string fixtureText() {
    std::string text = test_files::contentOf(fixture(kFixture));
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

// The fixture's dates are wall-clock times in Berlin.
class EveryKeyDocument : public testing::Test {
protected:
    const platform::ScopedTimeZoneAndLocale pinned_{"Europe/Berlin", "en_US"};
};

TEST_F(EveryKeyDocument, EachKeyLandsInItsOwnField) {
    const auto document = JsonProjectData::fromFilePath(fixture(kFixture).string());
    ASSERT_TRUE(document && document->_data);
    const JsonProject& project = *document->_data;
    EXPECT_EQ(project.uniqueId, "0F5B4C2A-7D1E-4C39-9A0B-2E6F8D3C1A74");
    EXPECT_EQ(project.name, "Garden / House");
    EXPECT_EQ(project.version, "B1E2C3D4-0000-4000-8000-000000000001");
    EXPECT_EQ(project.colorIndex, 3);
    EXPECT_EQ(project.imageId, "cover-1");
    EXPECT_EQ(project.calendar, "8766;8767;-3");
    EXPECT_EQ(project.lastUpdate, utcDate(2021, 3, 5, 13, 7, 9));
    EXPECT_EQ(project.device, "Anna's laptop");
    EXPECT_EQ(project.notes, "Two beds, one shed");
    EXPECT_EQ(project.defaultCostRate, 1.5f);
    EXPECT_EQ(project.displayCurrencyAtBegin, true);
    EXPECT_EQ(project.currency, "\u20ac");
    EXPECT_EQ(project.dailyWorkingHours, 7.5f);
    EXPECT_EQ(project.timespaceScale, 0.25f);
    EXPECT_EQ(project.timespaceOrginalTime, utcDate(2021, 2, 28, 8, 30));
    EXPECT_EQ(project.screenOffsetY, -120.5f);
    EXPECT_EQ(project.taskLinkType, 1);
    EXPECT_EQ(project.userHasSetLinkType, true);
    EXPECT_EQ(project.onlyWorkingDayTaskSchedule, false);
    EXPECT_EQ(project.pdfAuthorName, "Anna Berg");
    EXPECT_EQ(project.pdfBannerImageId, "banner-1");

    ASSERT_TRUE(project.peoples && project.peoples->size() == 2);
    const JsonPeople& anna = project.peoples->front();
    EXPECT_EQ(anna.id, 7);
    EXPECT_EQ(anna.name, "Anna Berg");
    EXPECT_EQ(anna.photoId, "photo-7");
    EXPECT_EQ(anna.email, "anna@example.org");
    EXPECT_EQ(anna.costRate, 12.5f);
    EXPECT_EQ(project.peoples->back().name, "J\u00f6rg \u00d6hlund");
    EXPECT_EQ(project.peoples->back().costRate, std::nullopt);

    ASSERT_TRUE(project.root && project.root->childs && project.root->childs->size() == 2);
    EXPECT_EQ(project.root->type, JsonTaskType::project);
    EXPECT_EQ(project.root->collapsed, false);
    const JsonTask& dig = project.root->childs->front();
    EXPECT_EQ(dig.uid, 1);
    EXPECT_EQ(dig.type, JsonTaskType::common);
    EXPECT_EQ(dig.name, "Dig the \"beds\"");
    EXPECT_EQ(dig.start, utcDate(2021, 2, 28, 23));
    EXPECT_EQ(dig.finish, utcDate(2021, 3, 28, 22));
    EXPECT_EQ(dig.completedPercent, 25);
    ASSERT_TRUE(dig.resources && dig.resources->size() == 2);
    EXPECT_EQ(dig.resources->front().peopleId, 7);
    EXPECT_EQ(dig.resources->front().workload, 50);
    EXPECT_EQ(dig.resources->back().workload, 100);
    ASSERT_TRUE(dig.work);
    EXPECT_EQ(dig.work->workType, 1);
    EXPECT_EQ(dig.work->workValue, 6.5f);
    EXPECT_EQ(dig.physicalCompletedPercentage, 30);
    EXPECT_EQ(dig.contactorId, 8);
    ASSERT_TRUE(dig.cost);
    EXPECT_EQ(dig.cost->_isFixLaborCost, true);
    EXPECT_EQ(dig.cost->_laborCost, 250.75f);
    EXPECT_EQ(dig.cost->materialsCost, 0.1f);
    EXPECT_EQ(dig.colorIndex, 4);
    EXPECT_EQ(dig.iconIndex, 11);
    EXPECT_EQ(dig.notes, "Spades first\nthen the barrow");
    EXPECT_EQ(dig.predecessors, std::vector<std::int64_t>{kTwoTo53PlusOne});
    ASSERT_TRUE(dig.dateBaseline);
    EXPECT_EQ(dig.dateBaseline->start, utcDate(2021, 3, 28, 1, 30));
    EXPECT_EQ(dig.dateBaseline->finish, utcDate(2021, 10, 31, 0, 30));
    ASSERT_TRUE(dig.url1 && dig.url2);
    EXPECT_EQ(dig.url1->title, "Plan");
    EXPECT_EQ(dig.url1->url, "https://example.org/plan");
    EXPECT_EQ(dig.url2->title, std::nullopt);
    EXPECT_EQ(dig.url2->url, "https://example.org/map");
    EXPECT_EQ(dig.collapsed, true);
    ASSERT_TRUE(dig.childs && dig.childs->size() == 1);
    EXPECT_EQ(dig.childs->front().childs, std::vector<JsonTask>{});
    EXPECT_EQ(project.root->childs->back().uid, kTwoTo53PlusOne);
    EXPECT_EQ(project.root->childs->back().type, JsonTaskType::milestone);
}

TEST_F(EveryKeyDocument, IsWrittenBackAsItWasRead) {
    const auto document = JsonProjectData::fromFilePath(fixture(kFixture).string());
    ASSERT_TRUE(document);
    EXPECT_EQ(document->jsonString(), fixtureText());
}

TEST_F(EveryKeyDocument, BothReadersReadTheSameRecords) {
    const std::string text = fixtureText();
    const auto streamed = readStreaming(text);
    const auto parsed = readParsed(text);
    ASSERT_TRUE(streamed && parsed);
    EXPECT_EQ(documentText(*streamed), documentText(*parsed));
}

TEST_F(EveryKeyDocument, ReadAndWrittenOnManyThreadsAtOnce) {
    const std::string expected = fixtureText();
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < mismatches.size(); ++index) {
        threads.emplace_back([&, index] {
            for (int round = 0; round < 20; ++round) {
                const auto document = JsonProjectData::fromFilePath(fixture(kFixture).string());
                mismatches[index] += !document || document->jsonString() != expected;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(JsonDocument, AbsentAndEmptyStayApart) {
    const auto empty = readStreaming("{}");
    ASSERT_TRUE(empty);
    EXPECT_EQ(compactText(*empty), "{}");
    EXPECT_EQ(documentText(*empty), "{}");

    const auto emptyLists = readStreaming(
        R"({"Ples": [], "Root": {"Childs": [], "Pred": [], "Res": [], "url1": {}, "Work": {},
            "Cost": {}, "DateBaseline": {}}})");
    ASSERT_TRUE(emptyLists && emptyLists->root);
    EXPECT_TRUE(emptyLists->peoples && emptyLists->peoples->empty());
    EXPECT_TRUE(emptyLists->root->childs && emptyLists->root->childs->empty());
    EXPECT_EQ(compactText(*emptyLists),
              R"({"Ples":[],"Root":{"Res":[],"Work":{},"Cost":{},"Pred":[],"DateBaseline":{},)"
              R"("url1":{},"Childs":[]}})");

    const auto nulls = readStreaming(
        R"({"Uid": null, "Ples": null, "Root": {"Type": null, "Childs": null}, "LstUpd": null})");
    ASSERT_TRUE(nulls && nulls->root);
    EXPECT_EQ(compactText(*nulls), R"({"Root":{}})");

    EXPECT_EQ(documentText(JsonProject("id", "Plan")),
              "{\n  \"Uid\" : \"id\",\n  \"Name\" : \"Plan\"\n}");
    JsonProject withRoot;
    withRoot.root = JsonTask();
    EXPECT_EQ(compactText(withRoot), R"({"Root":{}})");
}

// Task lists at one depth of different lengths, longer and shorter than the one before, each
// keep their own tasks in order; every date text, however often it comes, reads the same.
TEST(JsonDocument, TaskListsOfAnyLengthsKeepTheirTasksAndDates) {
    std::string text = R"({"Root": {"Uid": 0, "Childs": [)";
    const std::vector<int> lengths = {5, 1, 0, 3, 8, 2};
    int uid = 1;
    for (std::size_t group = 0; group < lengths.size(); ++group) {
        text += (group == 0 ? "" : ", ") + std::string(R"({"Uid": )") + std::to_string(uid++) +
                R"(, "Childs": [)";
        for (int task = 0; task < lengths[group]; ++task) {
            text += (task == 0 ? "" : ", ") + std::string(R"({"Uid": )") + std::to_string(uid++) +
                    R"(, "Start": "2021-03-0)" + std::to_string(1 + task % 3) + R"("})";
        }
        text += "]}";
    }
    text += "]}}";

    const auto streamed = readStreaming(text);
    ASSERT_TRUE(streamed && streamed->root && streamed->root->childs);
    const std::vector<JsonTask>& groups = *streamed->root->childs;
    ASSERT_EQ(groups.size(), lengths.size());
    uid = 1;
    for (std::size_t group = 0; group < lengths.size(); ++group) {
        SCOPED_TRACE(group);
        EXPECT_EQ(groups[group].uid, uid++);
        ASSERT_TRUE(groups[group].childs);
        ASSERT_EQ(groups[group].childs->size(), static_cast<std::size_t>(lengths[group]));
        for (const JsonTask& task : *groups[group].childs) {
            EXPECT_EQ(task.uid, uid++);
        }
    }
    const auto parsed = readParsed(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(compactText(*streamed), compactText(*parsed));
}

// A key given twice counts with its later value.
TEST(JsonDocument, KeysAreMatchedExactlyAndUnknownOnesIgnored) {
    const char* text = R"({
        "uid": "lower", "UID": "upper", "Name": "Draft", "Extra": {"deep": [1, {"Uid": "x"}]},
        "Name": "Plan",
        "Ples": [{"nm": 1, "Nm": "Anna", "ID": "x"}],
        "Root": {"uid": "x", "TYPE": "x", "Url1": 5, "Uid": 4,
                 "DateBaseline": {"Start": 5, "start": "2021-03-05"},
                 "Work": {"wt": "x", "WT": 2, "Work": 3}, "Cost": {"auto": 1},
                 "url2": {"Title": 1, "url": "u"}}
    })";
    for (const auto& read : {readStreaming, readParsed}) {
        const auto project = read(text);
        ASSERT_TRUE(project);
        EXPECT_EQ(compactText(*project),
                  R"({"Name":"Plan","Ples":[{"Nm":"Anna"}],"Root":{"Uid":4,"Work":{"WT":2,)"
                  R"("Work":3},"Cost":{},"DateBaseline":{"start":"2021-03-05T00:00:00Z"},)"
                  R"("url2":{"url":"u"}}})");
    }
}

// Each document is refused as a whole, by both readers, at the same place.
TEST(JsonDocument, AWrongValueAnywhereRefusesTheWholeDocument) {
    struct Row {
        const char* text;
        const char* path;
    };
    const Row rows[] = {
        {R"({"Uid": 5})", "Uid"},
        {R"({"Name": {}})", "Name"},
        {R"({"Color": 2.5})", "Color"},
        {R"({"Color": "2"})", "Color"},
        {R"({"CurFmt": 1})", "CurFmt"},
        {R"({"CurFmt": "true"})", "CurFmt"},
        {R"({"WkHrs": 1e39})", "WkHrs"},
        {R"({"WkHrs": true})", "WkHrs"},
        {R"({"LinkT": 9223372036854775808})", "LinkT"},
        {R"({"LinkT": -9223372036854775809})", "LinkT"},
        {R"({"DftCr": "1.5"})", "DftCr"},
        // Beyond what a double holds: the parser itself refuses the text.
        {R"({"Scale": 1e400})", "the top level"},
        {R"({"Ples": {}})", "Ples"},
        {R"({"Ples": [null]})", "Ples[0]"},
        {R"({"Ples": [{"Id": 7}, {"Id": 7.5}]})", "Ples[1].Id"},
        {R"({"Ples": [{"Id": "7"}]})", "Ples[0].Id"},
        {R"({"Ples": [{"Nm": 12}]})", "Ples[0].Nm"},
        {R"({"Root": 3})", "Root"},
        {R"({"Root": []})", "Root"},
        {R"({"Root": {"Uid": "1"}})", "Root.Uid"},
        {R"({"Root": {"Childs": [{"Childs": [{}, {"Type": 3}]}]}})",
         "Root.Childs[0].Childs[1].Type"},
        {R"({"Root": {"Type": -1}})", "Root.Type"},
        {R"({"Root": {"Type": "1"}})", "Root.Type"},
        {R"({"Root": {"Pred": [1, "2"]}})", "Root.Pred[1]"},
        {R"({"Root": {"Pred": [null]}})", "Root.Pred[0]"},
        {R"({"Root": {"Pred": [[1]]}})", "Root.Pred[0]"},
        {R"({"Root": {"Childs": [null]}})", "Root.Childs[0]"},
        {R"({"Root": {"Childs": [[]]}})", "Root.Childs[0]"},
        {R"({"Root": {"Childs": {}}})", "Root.Childs"},
        {R"({"Root": {"Work": {"WT": 1.5}}})", "Root.Work.WT"},
        {R"({"Root": {"Cost": {"Auto": 1}}})", "Root.Cost.Auto"},
        {R"({"Root": {"Res": [{"WL": 50.5}]}})", "Root.Res[0].WL"},
        {R"({"Root": {"Res": [{"Pid": "3"}]}})", "Root.Res[0].Pid"},
        {R"({"Root": {"Clps": "true"}})", "Root.Clps"},
        {R"({"Root": {"url1": []}})", "Root.url1"},
        {R"({"Root": {"Start": 20210305}})", "Root.Start"},
        {R"({"Root": {"DateBaseline": {"start": "2021-02-30"}}})", "Root.DateBaseline.start"},
        // A date text read well before says nothing of another one.
        {R"({"Root": {"Start": "2021-03-05", "Childs": [{"Start": "2021-03-05"},
             {"Finish": "2021-03-05", "Start": "2021-02-30"}]}})",
         "Root.Childs[1].Start"},
        // A longer list at the same depth before leaves the places in this one as they are.
        {R"({"Root": {"Childs": [{"Childs": [{}, {}, {}]}, {"Childs": [{}, {"Type": 3}]}]}})",
         "Root.Childs[1].Childs[1].Type"},
        {R"({"LstUpd": "yesterday"})", "LstUpd"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<std::string> places;
        for (const auto& read : {readStreaming, readParsed}) {
            try {
                static_cast<void>(read(row.text));
                ADD_FAILURE() << "read";
            } catch (const DecodingError& error) {
                places.push_back(platform::json::describe(error.codingPath()) + ": " +
                                 error.debugDescription());
            }
        }
        ASSERT_EQ(places.size(), 2u);
        // Text that is not JSON is refused by two parsers, each in its own words.
        const std::size_t compared =
            places[0].starts_with("the top level: ") ? std::strlen(kNotJson) : std::string::npos;
        EXPECT_EQ(places[0].substr(0, compared), places[1].substr(0, compared));
        EXPECT_EQ(places[0].substr(0, places[0].find(':')), row.path);
        EXPECT_EQ(readFile(row.text), std::nullopt);
    }
}

// Documents are parsed by a faster parser than other JSON; it refuses what the JSON layer's
// parser refuses, and reads what it reads the same way.
TEST(JsonDocument, TheDocumentParserIsAsStrictAsTheJsonLayers) {
    const std::string notJson[] = {
        "",
        " ",
        std::string("{\"Name\": \"a\0b\"}", 14),
        R"({"Name": "\uDC00"})",
        R"({"Name": "\udfff"})",
        R"({"\uDC00": 1})",
        R"({"Ples": [{"Nm": "a\\\uDC00"}]})",
        R"({"Name": "\uD800"})",
        R"({"Name": "\uD800\u0041"})",
        "{\"Name\": \"\xC3\x28\"}",
        "{\"Name\": \"\xED\xA0\x80\"}",
        "{\"Name\": \"\xC0\xAF\"}",
        "{\"Name\": \"\xF4\x90\x80\x80\"}",
        "{\"Name\": \"a\tb\"}",
        R"({"Name": "\x41"})",
        R"({"Name": 'a'})",
        R"({"WkHrs": 08})",
        R"({"WkHrs": 1.})",
        R"({"WkHrs": .5})",
        R"({"WkHrs": +1})",
        R"({"WkHrs": -})",
        R"({"WkHrs": NaN})",
        R"({"WkHrs": Infinity})",
        R"({"WkHrs": 0x10})",
        R"({"WkHrs": 1e400})",
        R"({"WkHrs": 8,})",
        R"({"WkHrs": 8 /* hours */})",
        R"({"WkHrs" 8})",
        R"({"Unknown": [1,]})",
        R"({} {})",
        R"({}])",
        R"({"Name": "a")",
    };
    for (const std::string& text : notJson) {
        SCOPED_TRACE(text);
        for (const auto& read : {readStreaming, readParsed}) {
            try {
                static_cast<void>(read(text));
                ADD_FAILURE() << "read";
            } catch (const DecodingError& error) {
                EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
                EXPECT_TRUE(error.codingPath().empty());
            }
        }
        EXPECT_EQ(readFile(text), std::nullopt);
    }

    const char* text =
        "{\"Name\": \"\\uD83D\\uDE00 \\u00e9\\/\\\"\xE2\x82\xAC\\u0000\", "
        "\"OffY\": -0, \"Scale\": 1E2, \"WkHrs\": 2.5e-1, \"DftCr\": 0.1, "
        "\"Root\": {\"Uid\": -0, "
        "\"Comp\": 9223372036854775807, \"Pred\": [-9223372036854775808, 0, 1e2]}}";
    const auto streamed = readStreaming(text);
    const auto parsed = readParsed(text);
    ASSERT_TRUE(streamed && parsed);
    constexpr char kName[] = "\xF0\x9F\x98\x80 \xC3\xA9/\"\xE2\x82\xAC\0";
    EXPECT_EQ(streamed->name, std::string(kName, sizeof kName - 1));
    EXPECT_EQ(compactText(*streamed), compactText(*parsed));
}

// Only an escape can put a surrogate into a string, and text that writes none is read without
// looking for one; an escaped backslash before "uD800" writes no escape at all.
TEST(JsonDocument, AnEscapedBackslashBeforeSurrogateDigitsIsPlainText) {
    const char* text = R"({"Name": "\\uD800 \\udc00", "Root": {"Name": "\/\n"}})";
    for (const auto& read : {readStreaming, readParsed}) {
        const auto project = read(text);
        ASSERT_TRUE(project && project->root);
        EXPECT_EQ(project->name, "\\uD800 \\udc00");
        EXPECT_EQ(project->root->name, "/\n");
    }
}

TEST(JsonDocument, NumbersAreTakenWhenTheyFit) {
    const char* text = R"({"WkHrs": 8, "DftCr": 0.1, "Color": 7.0, "OffY": 3.4028235e38,
                           "Root": {"Uid": 9007199254740993, "Comp": -9223372036854775808}})";
    for (const auto& read : {readStreaming, readParsed}) {
        const auto project = read(text);
        ASSERT_TRUE(project && project->root);
        EXPECT_EQ(project->dailyWorkingHours, 8.0f);
        EXPECT_EQ(project->defaultCostRate, 0.1f);
        EXPECT_EQ(project->colorIndex, 7);
        EXPECT_EQ(project->screenOffsetY, FLT_MAX);
        EXPECT_EQ(project->root->uid, kTwoTo53PlusOne);
        EXPECT_EQ(project->root->completedPercent, std::numeric_limits<std::int64_t>::min());
    }
}

// Numbers a double holds although RapidJSON's own reading refuses them, and a UTF-8 byte-order
// mark before the document, which other tools write: both readers take them, and so does the
// package road.
TEST(JsonDocument, NumbersInRangeAndAByteOrderMarkAreRead) {
    const std::string text = "\xEF\xBB\xBF{\"WkHrs\": 0e400, \"DftCr\": 0e309, \"OffY\": 1" +
                             std::string(310, '0') + "e-300, \"Root\": {\"Uid\": 5}}";
    for (const auto& read : {readStreaming, readParsed}) {
        const auto project = read(text);
        ASSERT_TRUE(project && project->root);
        EXPECT_EQ(project->dailyWorkingHours, 0.0f);
        EXPECT_EQ(project->defaultCostRate, 0.0f);
        EXPECT_EQ(project->screenOffsetY, 1e10f);
        EXPECT_EQ(project->root->uid, 5);
    }
    const auto file = readFile(text);
    ASSERT_TRUE(file && file->_data);
    EXPECT_EQ(file->_data->screenOffsetY, 1e10f);
}

TEST(JsonDocument, FilesThatHoldNoProjectGiveNothingQuietly) {
    const LogCapture log;
    for (const char* text : {"", "null", "[]", "3", "\"x\"", "{", "{} {}"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(readFile(text), std::nullopt);
    }
    EXPECT_EQ(JsonProjectData::fromFilePath(""), std::nullopt);
    EXPECT_EQ(JsonProjectData::fromFilePath(" \t"), std::nullopt);
    EXPECT_EQ(JsonProjectData::fromFilePath((test_files::sandbox() / "missing.moc").string()),
              std::nullopt);
    EXPECT_EQ(JsonProjectData::fromFilePath(test_files::sandbox().string()), std::nullopt);

    const auto huge = test_files::put(test_files::sandbox() / "huge.moc", "{}");
    std::filesystem::resize_file(huge, JsonProjectData::kMaximumFileSize + 1);
    EXPECT_EQ(JsonProjectData::fromFilePath(huge.string()), std::nullopt);
    EXPECT_TRUE(log.lines().empty());

    const auto emptyObject = readFile("{}");
    ASSERT_TRUE(emptyObject && emptyObject->_data);
    EXPECT_EQ(compactText(*emptyObject->_data), "{}");
}

// A task tree nested `levels` deep below the root.
std::string nestedDocument(std::size_t levels) {
    std::string text = R"({"Uid": "p", "Root": )";
    for (std::size_t level = 0; level < levels; ++level) {
        text += R"({"Childs": [)";
    }
    text += "{}";
    for (std::size_t level = 0; level < levels; ++level) {
        text += "]}";
    }
    return text + "}";
}

TEST(JsonDocument, NestingIsBoundedByTheJsonLayer) {
    // The top object and "Root" are two levels; each task level adds an array and an object.
    const std::size_t deepest = (platform::json::kMaximumNestingDepth - 2) / 2;
    const auto deep = readFile(nestedDocument(deepest));
    ASSERT_TRUE(deep);
    const auto written = deep->jsonString();
    ASSERT_TRUE(written);
    EXPECT_EQ(readFile(*written)->jsonString(), written);

    EXPECT_EQ(readFile(nestedDocument(deepest + 1)), std::nullopt);
    EXPECT_EQ(readFile(nestedDocument(100000)), std::nullopt);

    // A tree built deeper than any document can be is not written either.
    JsonProjectData tooDeep = *deep;
    JsonTask* leaf = &*tooDeep._data->root;
    while (leaf->childs) {
        leaf = &leaf->childs->front();
    }
    leaf->childs = std::vector<JsonTask>{JsonTask()};
    EXPECT_EQ(tooDeep.jsonString(), std::nullopt);
}

TEST(JsonDocument, WritingRefusesWhatCannotBeReadBack) {
    struct Row {
        const char* what;
        std::function<void(JsonProject&)> spoil;
    };
    const Row rows[] = {
        {"NaN cost rate",
         [](JsonProject& p) { p.peoples = {JsonPeople{.costRate = std::nanf("")}}; }},
        {"infinite hours",
         [](JsonProject& p) { p.dailyWorkingHours = std::numeric_limits<float>::infinity(); }},
        {"text not UTF-8", [](JsonProject& p) { p.name = "bad \xff"; }},
        {"year 10000", [](JsonProject& p) { p.lastUpdate = utcDate(10000, 1, 2); }},
        {"year 0", [](JsonProject& p) { p.timespaceOrginalTime = utcDate(0, 6, 1); }},
        {"no date", [](JsonProject& p) { p.lastUpdate = platform::Date(std::nan("")); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        JsonProjectData document;
        document._data = JsonProject("id", "Plan");
        row.spoil(*document._data);
        EXPECT_EQ(document.jsonString(), std::nullopt);
    }
    EXPECT_EQ(JsonProjectData().jsonString(), std::nullopt);
}

TEST(JsonDocument, FloatsAndSlashesAsWritten) {
    JsonProject project("a/b", "Plan");
    project.dailyWorkingHours = FLT_MAX;
    project.defaultCostRate = 0.1f;
    project.screenOffsetY = std::numeric_limits<float>::denorm_min();
    const std::string text = documentText(project);
    EXPECT_NE(text.find(R"("Uid" : "a\/b")"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("DftCr" : 0.1)"), std::string::npos) << text;
    const auto back = readFile(text);
    ASSERT_TRUE(back && back->_data);
    EXPECT_EQ(back->_data->uniqueId, "a/b");
    EXPECT_EQ(back->_data->dailyWorkingHours, FLT_MAX);
    EXPECT_EQ(back->_data->defaultCostRate, 0.1f);
    EXPECT_EQ(back->_data->screenOffsetY, std::numeric_limits<float>::denorm_min());
}

}  // namespace
