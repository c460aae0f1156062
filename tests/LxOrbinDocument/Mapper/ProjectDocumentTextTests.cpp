#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Mapper/MapperTestSupport.h"
#include "LxOrbinDocument/Mapper/ProjectDocumentText.h"
#include "platform/foundation/DateContext.h"
#include "support/FileTestHelpers.h"

namespace {

using namespace mapper_test;

// A project whose group 1 had its only child removed: an empty child list, kept as one.
std::shared_ptr<OrbProject> projectWithAnEmptiedGroup() {
    auto project = projectOf(
        documentWithRoot(R"({"Uid":0,"Childs":[{"Uid":1,"Childs":[{"Uid":2,"Start":"2024-01-01",)"
                         R"("Finish":"2024-01-02"}]}]})"));
    project->removeChildByRange(project->findTask(1), 0, 0);
    return project;
}

struct ProjectRow {
    std::shared_ptr<OrbProject> project;
    const char* what;
};

// The text written straight from the model is the one written from the whole record tree, byte
// for byte, whatever room is taken for it beforehand: too little, none, more than enough.
TEST(ProjectDocumentText, IsTheTextOfTheMappedRecordTree) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const auto fixtureProject = [](const char* name) {
        return projectOf(test_files::contentOf(document_test::fixture(name)));
    };
    const ProjectRow rows[] = {
        {fixtureProject("rich-project.moc"), "a real plan"},
        {fixtureProject("every-key-project.moc"), "every key"},
        {fixtureProject("repaired-project.moc"), "repairs"},
        {projectWithAnEmptiedGroup(), "an empty child list"},
        {projectOf(documentWithRoot(
             R"({"Uid":0,"Childs":[{"Uid":1,"Childs":[{"Uid":2,"Start":"2024-01-01",)"
             R"("Finish":"2024-01-02"}]},{"Uid":3,"Start":"2024-01-01","Finish":"2024-01-02"}]})")),
         "nested groups"},
        {projectOf(R"({"Uid":"x"})"), "no root"},
    };
    for (const ProjectRow& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_NE(row.project, nullptr);
        const std::string expected = writtenText(*row.project);
        for (const std::size_t room : {std::size_t{0}, std::size_t{16}, expected.size() * 2}) {
            EXPECT_EQ(projectDocumentText(*row.project, room), expected) << "room " << room;
        }
    }
    EXPECT_NE(writtenText(*rows[3].project).find(R"("Childs" : [])"), std::string::npos);
}

// The text written before the model was written straight: the fixture's written form.
TEST(ProjectDocumentText, WritesTheFixturesWrittenFormUnchanged) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    std::string written =
        test_files::contentOf(document_test::fixture("every-key-project.written.moc"));
    if (!written.empty() && written.back() == '\n') {
        written.pop_back();
    }
    const auto project =
        projectOf(test_files::contentOf(document_test::fixture("every-key-project.moc")));
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(projectDocumentText(*project), written);
}

// A value the document cannot hold leaves no text, as with the record tree.
TEST(ProjectDocumentText, IsNoneForAValueTheDocumentCannotHold) {
    const auto project = projectOf(R"({"Uid":"x"})");
    ASSERT_NE(project, nullptr);
    project->setTimespaceScale(std::numeric_limits<float>::infinity());
    EXPECT_EQ(document_test::documentText(DataMapService::map(*project)), "<none>");
    EXPECT_EQ(projectDocumentText(*project), std::nullopt);
}

}  // namespace
