#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Mapper/MapperTestSupport.h"
#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "platform/foundation/DateContext.h"
#include "support/FileTestHelpers.h"

namespace {

using namespace mapper_test;

std::string fixtureText(const std::string& name) {
    std::string text = test_files::contentOf(document_test::fixture(name));
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

// The text a package would hold after opening the document and saving it again.
std::string readAndWritten(const std::string& documentText) {
    const auto project = projectOf(documentText);
    return project ? writtenText(*project) : "<refused>";
}

struct RoundTripRow {
    const char* source;
    const char* written;  // what the source reads and writes as
    const char* zone;     // the source's dates are wall-clock times there
};

// Each written fixture is its source with exactly the changes reading makes (repairs, derived
// values of groups, defaults written out); reading it and writing it again changes nothing.
TEST(DocumentRoundTrip, ReadingAndWritingReachesAFixedPointAfterOnePass) {
    const RoundTripRow rows[] = {
        {"every-key-project.moc", "every-key-project.written.moc", "Europe/Berlin"},
        {"repaired-project.moc", "repaired-project.written.moc", "UTC"},
    };
    for (const RoundTripRow& row : rows) {
        SCOPED_TRACE(row.source);
        const platform::ScopedTimeZoneAndLocale pinned(row.zone, "en_US");
        const std::string written = readAndWritten(fixtureText(row.source));
        EXPECT_EQ(written, fixtureText(row.written));
        EXPECT_EQ(readAndWritten(written), written);
    }
}

struct OddDocumentRow {
    const char* text;
    const char* why;
};

// Documents that open must save, and what one round writes the next writes again. Each row is
// read, mapped, mapped back and written, twice, in a zone ahead of UTC whose offset before 1893
// is not whole minutes and in one behind it.
TEST(DocumentRoundTrip, EveryDocumentThatOpensSavesAndThenStaysAsWritten) {
    const OddDocumentRow rows[] = {
        {R"({"Uid":"x","OriTm":"0001-01-03"})", "the first days of year 1"},
        {R"({"Uid":"x","OriTm":"0001-01-01T00:00:00"})", "the first instant of year 1"},
        {R"({"Uid":"x","OriTm":"1582-10-10"})", "a day the calendar reform skipped"},
        {R"({"Uid":"x","OriTm":"1500-02-29T12:00:00"})", "a leap day only in the Julian calendar"},
        {R"({"Uid":"x","OriTm":"9999-12-31T23:59:59"})", "the last second that can be written"},
        {R"({"Uid":"x","Root":{"Uid":0,"Start":"1012-01-01","Finish":"1012-01-02"}})",
         "dates far before the model's range"},
        {R"({"Uid":"x","Root":{"Uid":0,"Start":"2024-01-01","Finish":"1900-01-01"}})",
         "a reversed pair with one date out of range"},
        {R"({"Uid":"x","Root":{"Uid":0,"Start":"2400-01-01","Finish":"2024-01-01"}})",
         "a reversed pair with the start out of range"},
        {R"({"Uid":"x","Root":{"Uid":0,"Childs":[{"Uid":1,"Start":"1012-01-01",)"
         R"("Finish":"1012-01-02","DateBaseline":{"start":"0900-01-01","finish":"0900-01-02"}}]}})",
         "a child out of range with an old baseline"},
        {R"({"Uid":"N","OffY":-0.0})", "negative zero"},
        {R"({"Uid":"N","OffY":-0,"Scale":-0.0e3,"WkHrs":-0.0})", "negative zero in other forms"},
        {R"({"Uid":"","Root":{"Uid":2,"Childs":[{}]}})", "a group whose only child drops out"},
        {R"({"Uid":"","Root":{"Uid":2,"Finish":"2024-05-01","Childs":[{"Uid":3}]}})",
         "a group with one date whose child drops out"},
    };
    for (const char* zone : {"Europe/Berlin", "America/Sao_Paulo"}) {
        const platform::ScopedTimeZoneAndLocale pinned(zone, "en_US");
        for (const OddDocumentRow& row : rows) {
            SCOPED_TRACE(std::string(zone) + ": " + row.why);
            const std::string written = readAndWritten(row.text);
            if (written == "<none>") {
                ADD_FAILURE() << "opens but does not save";
                continue;
            }
            EXPECT_EQ(readAndWritten(written), written);
        }
    }
}

// The model keeps task dates inside its span and never lets a task finish before it starts;
// the mapping applies the same rules, the range first.
TEST(DocumentRoundTrip, TaskDatesKeepTheModelsRangeAndOrder) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    for (const char* text : {
             R"({"Uid":"x","Root":{"Uid":0,"Start":"1012-01-01","Finish":"1012-01-02"}})",
             R"({"Uid":"x","Root":{"Uid":0,"Start":"2024-01-01","Finish":"1900-01-01"}})",
             R"({"Uid":"x","Root":{"Uid":0,"Start":"2400-01-01","Finish":"2024-01-01"}})",
         }) {
        SCOPED_TRACE(text);
        const auto project = projectOf(text);
        ASSERT_TRUE(project);
        const auto root = project->root();
        EXPECT_TRUE(OrbinDocumentConfig::shared().contains(root->start()));
        EXPECT_TRUE(OrbinDocumentConfig::shared().contains(root->finish()));
        EXPECT_LE(root->start(), root->finish());
    }
}

// Most tasks of a plan have no baseline: reading them and saving them makes none, and a
// baseline the document names without both dates is not made either.
TEST(DocumentRoundTrip, OnlyATaskWithABaselineHasOneAfterReadingAndSaving) {
    const auto project = projectOf(
        documentWithRoot(R"({"Uid": 0, "Childs": [)"
                         R"({"Uid": 1, "Start": "2024-05-06", "Finish": "2024-05-08"},)"
                         R"({"Uid": 2, "Start": "2024-05-06", "Finish": "2024-05-08", "Note": "n",)"
                         R"( "DateBaseline": {"start": "2024-05-06"}},)"
                         R"({"Uid": 3, "Start": "2024-05-06", "Finish": "2024-05-08",)"
                         R"( "DateBaseline": {"start": "2024-05-06", "finish": "2024-05-07"}}]})"));
    ASSERT_TRUE(project);
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "read" : "saved");
        EXPECT_EQ(project->root()->madeDateBaseline(), nullptr);
        EXPECT_EQ(project->findTask(1)->madeDateBaseline(), nullptr);
        EXPECT_EQ(project->findTask(2)->madeDateBaseline(), nullptr);
        ASSERT_NE(project->findTask(3)->madeDateBaseline(), nullptr);
        EXPECT_TRUE(project->findTask(3)->madeDateBaseline()->finish());
        static_cast<void>(writtenText(*project));
    }
}

}  // namespace
