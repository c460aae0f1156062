#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "support/FileTestHelpers.h"

namespace {

namespace fs = std::filesystem;
using ProjectWorkingFolder = OrbinDocumentManager::ProjectWorkingFolder;

TEST(ProjectWorkingFolderTest, NamesTheLayoutWithoutTouchingTheDisk) {
    const fs::path root = test_files::sandbox() / "X";
    const ProjectWorkingFolder folder(LxFolder(root, true));

    EXPECT_EQ(folder.root().url(), root.string() + "/");
    EXPECT_EQ(folder.jsonFile().url(), root / "project.moc");
    EXPECT_EQ(folder.photoFolder().url(), root / "Photo/");
    EXPECT_FALSE(folder.photoFolder().isSystem());
    EXPECT_EQ(folder.photoFile("A1").url(), root / "Photo/A1.jpg");
    EXPECT_EQ(folder.tileCoverImageFile("A1").url(), root / "A1.jpg");
    EXPECT_EQ(folder.pdfBannerFile("A1").url(), root / "A1.jpg");
    EXPECT_EQ(folder.photoFile("").fileName(), ".jpg");
    EXPECT_EQ(folder.tileCoverImageFile("").url(), root / ".jpg");
    EXPECT_EQ(folder.tileCoverImageFolder().url(), folder.root().url());
    EXPECT_EQ(folder.pdfBannerFolder().url(), folder.root().url());

    EXPECT_FALSE(fs::exists(root));
    EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 0);
}

TEST(ProjectWorkingFolderTest, AssignedPlacesReplaceTheDerivedOnes) {
    ProjectWorkingFolder folder(LxFolder("/work/w", false));
    folder.setJsonFile(LxFile("/elsewhere/plan.moc"));
    folder.setPhotoFolder(LxFolder("/elsewhere/Faces", false));

    EXPECT_EQ(folder.jsonFile().url(), "/elsewhere/plan.moc");
    EXPECT_EQ(folder.photoFile("A1").url(), "/elsewhere/Faces/A1.jpg");
    EXPECT_EQ(folder.tileCoverImageFile("A1").url(), "/work/w/A1.jpg");
}

TEST(ProjectWorkingFolderTest, NoIdNamesAPlaceOutsideTheRoot) {
    const ProjectWorkingFolder folder(LxFolder("/work/w", false));
    for (const std::string_view id : {"/abs", "../x", "../../outside", "a/b", "..", "/", "."}) {
        SCOPED_TRACE(id);
        for (const LxFile& file :
             {folder.photoFile(id), folder.tileCoverImageFile(id), folder.pdfBannerFile(id)}) {
            const std::string path = file.url().lexically_normal().string();
            EXPECT_TRUE(path.starts_with("/work/w/")) << path;
        }
    }
}

TEST(ProjectWorkingFolderTest, OnlyOnePlainNameIsAUsableImageId) {
    struct Case {
        std::string_view id;
        bool usable;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {"A1", true},    {"7F3C-22.photo", true}, {"...", true},  {" ", true},     {"", false},
        {".", false},    {"..", false},           {"a/b", false}, {"/abs", false}, {"../x", false},
        {"a\\b", false}, {"a\0b"sv, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id));
        EXPECT_EQ(ProjectWorkingFolder::isUsableImageId(c.id), c.usable);
    }
}

}  // namespace
