#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Manager/PackageTestSupport.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "zip/LxZip.h"

namespace {

namespace fs = std::filesystem;
using namespace package_test;
using Kind = OrbinDocumentError::Kind;

const OrbinDocumentManager documents;

// A project whose members have the photo ids given (none for no photo).
std::shared_ptr<OrbProject> projectWithPhotos(const std::vector<std::optional<std::string>>& ids,
                                              std::optional<std::string> tile = std::nullopt,
                                              std::optional<std::string> banner = std::nullopt) {
    auto project = OrbProject::create("U", "Plan");
    for (const auto& id : ids) {
        project->team()->add("Member", id);
    }
    project->setImageId(std::move(tile));
    project->setPdfBannerImageId(std::move(banner));
    return project;
}

// A working folder with a document and the given files (paths relative to it).
LxFolder workingFolderWith(const std::vector<std::pair<std::string, std::string>>& files) {
    const LxFolder working = newWorkingFolder();
    fs::create_directories(working.url() / "Photo");
    test_files::put(working.url() / "project.moc", "{}");
    for (const auto& [path, content] : files) {
        test_files::put(working.url() / path, content);
    }
    return working;
}

Kind failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const OrbinDocumentError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no failure";
    return Kind::FileNotExist;
}

// The package holds the document, then the photos in team order, the tile cover and the banner,
// each under its bare name; a PNG-only image is converted beside its PNG first.
TEST(PackagePackingTest, PacksFlatEntriesInTeamOrderThenCoverThenBanner) {
    const std::string photo = imageBytes(lx::BitmapImageFileType::jpeg);
    const LxFolder working =
        workingFolderWith({{"Photo/P1.jpg", photo},
                           {"Photo/P4.png", imageBytes(lx::BitmapImageFileType::png)},
                           {"Photo/unlisted.jpg", photo},
                           {"T.jpg", photo},
                           {"B.jpg", photo}});
    const auto project = projectWithPhotos({"P1", std::nullopt, "", "P4"}, "T", "B");
    const LxFile package(test_files::sandbox() / "plan.orb");
    const LogCapture log;
    documents.orbFile(*project, working, package);

    EXPECT_EQ(entryNames(package.url()),
              (std::vector<std::string>{"project.moc", "P1.jpg", "P4.jpg", "T.jpg", "B.jpg"}));
    EXPECT_TRUE(isJpeg(test_files::contentOf(working.url() / "Photo/P4.jpg")));
    EXPECT_TRUE(fs::exists(working.url() / "Photo/P4.png"));
    EXPECT_EQ(loggedMessages(log), std::vector<std::string>{});
    const auto check = zip_test::run(std::string(zip_test::kPython) + " -m zipfile -t " +
                                     zip_test::quoted(package.url()));
    EXPECT_EQ(check.exitCode, 0) << check.output;
}

// Repeated ids give repeated entries: the format has one flat name per image.
TEST(PackagePackingTest, RepeatedIdsAreNotFoldedAndMissingImagesAreWarnedAbout) {
    const LxFolder working = workingFolderWith({{"Photo/P.jpg", "p"}, {"S.jpg", "s"}});
    const auto project = projectWithPhotos({"P", "gone", "P"}, "S", "S");
    const LxFile package(test_files::sandbox() / "plan.orb");
    const LogCapture log;
    documents.orbFile(*project, working, package);

    EXPECT_EQ(entryNames(package.url()),
              (std::vector<std::string>{"project.moc", "P.jpg", "P.jpg", "S.jpg", "S.jpg"}));
    EXPECT_EQ(loggedMessages(log),
              std::vector<std::string>{
                  "warning: photo [gone] is not exist in the project working directory"});
}

TEST(PackagePackingTest, ImageIdsThatAreNoFileNamesAreLeftOut) {
    test_files::put(test_files::sandbox() / "outside.jpg", "private");
    const LxFolder working = workingFolderWith({});
    const auto project = projectWithPhotos({"../../outside"}, "a/b");
    const LxFile package(test_files::sandbox() / "plan.orb");
    const LogCapture log;
    documents.orbFile(*project, working, package);

    EXPECT_EQ(entryNames(package.url()), std::vector<std::string>{"project.moc"});
    EXPECT_EQ(loggedMessages(log).size(), 2U);
    EXPECT_EQ(itemsBelow(working.url()), (std::vector<std::string>{"Photo/", "project.moc"}));
}

TEST(PackagePackingTest, AnEarlierPackageIsReplacedWhole) {
    const LxFolder working = workingFolderWith({});
    const LxFile package(test_files::sandbox() / "plan.orb");
    test_files::put(test_files::sandbox() / "old.txt", "old");
    LxZip::zipFiles({test_files::sandbox() / "old.txt"}, package.url(), std::nullopt);

    documents.orbFile(*projectWithPhotos({}), working, package);
    EXPECT_EQ(entryNames(package.url()), std::vector<std::string>{"project.moc"});
}

TEST(PackagePackingTest, FailuresAreSaveErrorsAndTouchNoPackage) {
    const auto project = projectWithPhotos({});
    {
        SCOPED_TRACE("no document");
        const LxFolder working = newWorkingFolder("empty");
        const LxFile package(test_files::put(test_files::sandbox() / "kept.orb", "earlier"));
        const LogCapture log;
        EXPECT_EQ(failureOf([&] { documents.orbFile(*project, working, package); }),
                  Kind::SaveError);
        EXPECT_EQ(
            loggedMessages(log),
            std::vector<std::string>{
                "error: Failed to save project \"Plan\" because the json file does not exist"});
        EXPECT_EQ(test_files::contentOf(package.url()), "earlier");
    }
    {
        SCOPED_TRACE("package folder missing");
        const LxFolder working = workingFolderWith({});
        const LxFile package(test_files::sandbox() / "absent" / "plan.orb");
        const LogCapture log;
        EXPECT_EQ(failureOf([&] { documents.orbFile(*project, working, package); }),
                  Kind::SaveError);
        const std::vector<std::string> lines = loggedMessages(log);
        ASSERT_EQ(lines.size(), 1U);
        EXPECT_EQ(lines[0],
                  "error: Failed to save project \"Plan\" as .orb file, with error: The "
                  "operation could not be completed. (LxZipError error 2.)");
        EXPECT_FALSE(fs::exists(test_files::sandbox() / "absent"));
    }
}

TEST(PackageSavingTest, WritesTheDocumentTextOverAnEarlierOne) {
    const LxFolder working = workingFolderWith({});
    const auto project = projectWithPhotos({"P"});
    documents.saveProject(*project, working);

    const std::optional<std::string> text = documents.jsonString(*project, true);
    ASSERT_TRUE(text);
    EXPECT_EQ(test_files::contentOf(working.url() / "project.moc"), *text);
    EXPECT_EQ(documents.jsonString(*project, false), text);
}

TEST(PackageSavingTest, AFolderThatCannotTakeTheDocumentGivesTwoLines) {
    const LxFolder absent(test_files::sandbox() / "absent", false);
    const LogCapture log;
    EXPECT_EQ(failureOf([&] { documents.saveProject(*projectWithPhotos({}), absent); }),
              Kind::SaveError);

    const std::string path = (test_files::sandbox() / "absent" / "project.moc").string();
    const std::vector<std::string> lines = loggedMessages(log);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_TRUE(lines[0].starts_with("error: Failed to save project to file " + path + ": "))
        << lines[0];
    EXPECT_EQ(lines[1],
              "error: Failed to save project \"Plan\" to json file: \"LxFile(_url: file://" + path +
                  ")\"");
}

// A document that cannot be written must not leave an older one to be packed in its place.
TEST(PackageSavingTest, AnUnwritableDocumentRemovesTheEarlierOne) {
    const LxFolder working = workingFolderWith({});
    const auto project = projectWithPhotos({});
    project->setTimespaceScale(std::numeric_limits<float>::infinity());
    const LogCapture log;
    EXPECT_EQ(failureOf([&] { documents.saveProject(*project, working); }), Kind::SaveError);

    EXPECT_EQ(loggedMessages(log).size(), 1U);
    EXPECT_FALSE(fs::exists(working.url() / "project.moc"));
    EXPECT_EQ(documents.jsonString(*project, true), std::nullopt);
}

}  // namespace
