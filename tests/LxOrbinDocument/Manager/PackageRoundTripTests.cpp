#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Manager/PackageTestSupport.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"

namespace {

namespace fs = std::filesystem;
using namespace package_test;

const OrbinDocumentManager documents;

std::string bytesIn(const LxFolder& folder, const std::string& path) {
    return test_files::contentOf(folder.url() / path);
}

// The rich package was written by python's zipfile (stored and deflated entries, a folder
// entry, a junk entry, images in no particular order) with a document in another writer's style.
// Opened, saved, packed by us and opened again, it gives the same document and the same images.
TEST(PackageRoundTripTest, TheRichPackageComesBackTheSame) {
    const LxFolder first = newWorkingFolder("first");
    const LogCapture log;
    const auto opened = documents.load(LxFile(fixture("rich.orb")), first);
    EXPECT_EQ(itemsBelow(first.url()),
              (std::vector<std::string>{"BAN.jpg", "Photo/", "Photo/PA.jpg", "Photo/PB.jpg",
                                        "TILE.jpg", "project.moc"}));
    EXPECT_TRUE(isJpeg(bytesIn(first, "Photo/PB.jpg")));
    EXPECT_TRUE(isJpeg(bytesIn(first, "BAN.jpg")));
    EXPECT_EQ(opened->name(), "Rich / Package");
    EXPECT_EQ(opened->team()->members().size(), 3U);  // the record without "Nm" is no member
    EXPECT_NE(opened->findTask(9007199254740993), nullptr);

    documents.saveProject(*opened, first);
    const LxFile package(test_files::sandbox() / "again.orb");
    documents.orbFile(*opened, first, package);
    EXPECT_EQ(entryNames(package.url()),
              (std::vector<std::string>{"project.moc", "PA.jpg", "PB.jpg", "TILE.jpg", "BAN.jpg"}));

    const LxFolder second = newWorkingFolder("second");
    const auto reopened = documents.load(package, second);
    const std::optional<std::string> text = documents.jsonString(*opened, true);
    ASSERT_TRUE(text);
    EXPECT_EQ(documents.jsonString(*reopened, true), text);
    EXPECT_EQ(bytesIn(second, "project.moc"), *text);
    for (const char* image : {"Photo/PA.jpg", "Photo/PB.jpg", "TILE.jpg", "BAN.jpg"}) {
        SCOPED_TRACE(image);
        EXPECT_EQ(bytesIn(second, image), bytesIn(first, image));
    }
    EXPECT_EQ(bytesIn(first, "Photo/PA.jpg"), bytesOfEntry(fixture("rich.orb"), "PA.jpg"));
    // The link from the second sub-project into the first is dropped on the first opening.
    EXPECT_EQ(
        loggedMessages(log),
        std::vector<std::string>{"debug: Invalid link - cross project link between task 7 and 3"});
}

// Saving writes the text of the project's whole record tree, byte for byte, over the document
// the opening left (whose size is the room taken for the new text).
TEST(PackageRoundTripTest, TheSavedDocumentIsTheTextOfTheProjectsRecordTree) {
    const LxFolder working = newWorkingFolder();
    const auto opened = documents.load(LxFile(fixture("rich.orb")), working);
    documents.saveProject(*opened, working);

    JsonProjectData document;
    document._data = DataMapService::map(*opened);
    const std::optional<std::string> text = document.jsonString();
    ASSERT_TRUE(text);
    EXPECT_EQ(bytesIn(working, "project.moc"), *text);
}

TEST(PackageRoundTripTest, TheMinimalPackageGetsDefaultsAndWritesThem) {
    const LxFolder working = newWorkingFolder();
    const auto project = documents.load(LxFile(fixture("minimal.orb")), working);
    EXPECT_EQ(itemsBelow(working.url()), std::vector<std::string>{"project.moc"});
    EXPECT_EQ(project->uniqueId(), "MIN-1");
    EXPECT_EQ(project->name(), "project");
    ASSERT_NE(project->root(), nullptr);
    EXPECT_EQ(project->findTask(project->root()->id()), project->root());

    documents.saveProject(*project, working);
    const std::string text = bytesIn(working, "project.moc");
    for (const char* key : {"\"Uid\" : \"MIN-1\"", "\"Ples\" : [", "\"Root\" : {"}) {
        EXPECT_NE(text.find(key), std::string::npos) << key;
    }
    const LxFile package(test_files::sandbox() / "again.orb");
    documents.orbFile(*project, working, package);
    const auto reopened = documents.load(package, newWorkingFolder("again"));
    EXPECT_EQ(documents.jsonString(*reopened, true), text);
}

}  // namespace
