#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Mapper/MapperTestSupport.h"
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

}  // namespace
