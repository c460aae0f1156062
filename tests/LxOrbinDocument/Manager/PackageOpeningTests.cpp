#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>
#include <sys/resource.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Manager/PackageTestSupport.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "support/ChildProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace package_test;
using zip_test::CraftedEntry;
using Kind = OrbinDocumentError::Kind;

const OrbinDocumentManager documents;

std::string jpeg() {
    return imageBytes(lx::BitmapImageFileType::jpeg);
}

TEST(OrbinDocumentErrorTest, CasesCompareByKindAndReadAsTheGenericText) {
    EXPECT_EQ(OrbinDocumentError::InvalidJson().localizedDescription(),
              "The operation could not be completed. (OrbinDocumentError error 3.)");
    EXPECT_EQ(OrbinDocumentError::SaveError().kind(), Kind::SaveError);
    const std::unordered_set<OrbinDocumentError> distinct = {OrbinDocumentError::OpenError(),
                                                             OrbinDocumentError::OpenError(),
                                                             OrbinDocumentError::FileNotExist()};
    EXPECT_EQ(distinct.size(), 2U);
}

struct FailingOpen {
    const char* name;
    // Makes the package; may also prepare the working folder.
    std::function<LxFile(const LxFolder& working)> package;
    Kind error;
    // The one line logged; `package` stands for the package's path.
    std::function<std::string(const std::string& package)> line;
    // Where the line's text depends on the system, only its beginning is compared.
    bool wholeLine = true;
    std::function<LxFolder(const LxFolder& working)> workingFolder = [](const LxFolder& working) {
        return working;
    };
};

LxFile packageWithDocument(const std::string& document) {
    return craftedPackage("plan.orb", {{"project.moc", document}});
}

std::string deeplyNestedDocument(int depth) {
    std::string text = R"({"Uid": "DEEP", "Root": )";
    for (int level = 0; level < depth; ++level) {
        text += R"({"Uid": 1, "Childs": [)";
    }
    for (int level = 0; level < depth; ++level) {
        text += "]}";
    }
    return text + "}";
}

// The entry deflated: bytes that repeat take little room in the package.
CraftedEntry deflatedEntry(const std::string& name, const std::string& data) {
    CraftedEntry entry{name, zip_test::rawDeflated(data), 8};
    entry.crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    entry.uncompressedSize = static_cast<std::uint32_t>(data.size());
    return entry;
}

// A deflated entry of `size` zeros: a few kilobytes in the package, `size` bytes unpacked.
CraftedEntry zerosEntry(const std::string& name, std::size_t size) {
    return deflatedEntry(name, std::string(size, '\0'));
}

const std::string kPhotoDocument = R"({"Uid": "B", "Ples": [{"Id": 1, "Nm": "A", "Pt": "P"}]})";

// Every road that stops an opening: its case, exactly one error line, and no unzip folder left
// behind.
TEST(PackageOpeningTest, EveryFailureIsOneCaseAndOneLineAndLeavesNoUnzipFolder) {
    const auto unzipLine = [](const std::string& package) {
        return "error: Failed to unzip the .orb file \"" + package + "\": ";
    };
    const std::vector<FailingOpen> cases = {
        {"missing package",
         [](const LxFolder&) { return LxFile(test_files::sandbox() / "no.orb"); },
         Kind::FileNotExist,
         [](const std::string& package) {
             return "error: .orb file loading failed as the file does not exist:" + package;
         }},
        {"folder", [](const LxFolder&) { return LxFile(newWorkingFolder("a-folder.orb").url()); },
         Kind::InvalidFileFormat, unzipLine, false},
        {"not an archive",
         [](const LxFolder&) { return LxFile(test_files::put(test_files::sandbox() / "x.orb")); },
         Kind::InvalidFileFormat,
         [&](const std::string& package) {
             return unzipLine(package) +
                    "The operation could not be completed. (LxZipError error 1.)";
         }},
        {"entry climbing out",
         [](const LxFolder&) {
             return craftedPackage("up.orb", {{"project.moc", "{}"}, {"../escape.jpg", "x"}});
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"absolute entry",
         [](const LxFolder&) {
             return craftedPackage("abs.orb", {{"project.moc", "{}"}, {"/abs.jpg", "x"}});
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"photo inflating beyond the image bound",
         [](const LxFolder&) {
             return craftedPackage(
                 "bomb.orb", {{"project.moc", kPhotoDocument},
                              zerosEntry("P.jpg", OrbinDocumentManager::kMaximumImageSize + 1)});
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"document declared beyond the document bound",
         [](const LxFolder&) {
             CraftedEntry document{"project.moc", "{}"};
             document.uncompressedSize =
                 static_cast<std::uint32_t>(JsonProjectData::kMaximumFileSize + 1);
             return craftedPackage("big.orb", {document});
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"document under its other name declared beyond the document bound",
         [](const LxFolder&) {
             CraftedEntry document{"./project.moc", "{}"};
             document.uncompressedSize =
                 static_cast<std::uint32_t>(JsonProjectData::kMaximumFileSize + 1);
             return craftedPackage("big.orb", {document});
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"photos each within the image bound, inflating a thousandfold",
         [](const LxFolder&) {
             std::vector<CraftedEntry> entries = {{"project.moc", kPhotoDocument}};
             const CraftedEntry filler = zerosEntry("P.jpg", 4 << 20);
             for (int photo = 0; photo < 16; ++photo) {
                 entries.push_back(filler);
                 entries.back().name = std::to_string(photo) + ".jpg";
             }
             return craftedPackage("filler.orb", entries);
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"photos each small, more than the package's image budget together",
         [](const LxFolder&) {
             std::vector<CraftedEntry> entries = {{"project.moc", kPhotoDocument}};
             const CraftedEntry small =
                 zerosEntry("P.jpg", OrbinDocumentManager::kImageSizeFreeOfInflationBound);
             const std::uint64_t count = OrbinDocumentManager::kMaximumImagesSize /
                                             OrbinDocumentManager::kImageSizeFreeOfInflationBound +
                                         1;
             for (std::uint64_t photo = 0; photo < count; ++photo) {
                 entries.push_back(small);
                 entries.back().name = std::to_string(photo) + ".jpg";
             }
             return craftedPackage("many.orb", entries);
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"photos sharing one stream",
         [](const LxFolder&) {
             CraftedEntry first = zerosEntry("P.jpg", 1 << 20);
             CraftedEntry second = first;
             second.name = "Q.jpg";
             second.directoryOffset = 0;
             return craftedPackage("overlap.orb", {first, second, {"project.moc", kPhotoDocument}});
         },
         Kind::InvalidFileFormat, unzipLine, false},
        {"document in a sub-folder",
         [](const LxFolder&) {
             return craftedPackage("sub.orb", {{"sub/project.moc", "{}"}});
         },
         Kind::InvalidFileContent,
         [](const std::string& package) {
             return "error: Failed to load project as there is no json file in teh zip file:" +
                    package;
         }},
        {"not JSON", [](const LxFolder&) { return packageWithDocument("{not json"); },
         Kind::InvalidJson,
         [](const std::string& package) {
             return "error: Failed to pharse project json file:" + package;
         }},
        {"wrong type", [](const LxFolder&) { return packageWithDocument(R"({"Uid": 5})"); },
         Kind::InvalidJson,
         [](const std::string& package) {
             return "error: Failed to pharse project json file:" + package;
         }},
        {"task type 3",
         [](const LxFolder&) {
             return packageWithDocument(R"({"Uid": "X", "Root": {"Uid": 0, "Type": 3}})");
         },
         Kind::InvalidJson,
         [](const std::string& package) {
             return "error: Failed to pharse project json file:" + package;
         }},
        {"100 000 levels deep",
         [](const LxFolder&) { return packageWithDocument(deeplyNestedDocument(100'000)); },
         Kind::InvalidJson,
         [](const std::string& package) {
             return "error: Failed to pharse project json file:" + package;
         }},
        {"working folder missing", [](const LxFolder&) { return packageWithDocument("{}"); },
         Kind::OpenError,
         [](const std::string& package) {
             return "error: Failed to copy the json file when opening project at:" + package;
         },
         true, [](const LxFolder&) { return LxFolder(test_files::sandbox() / "absent", false); }},
        {"working folder holds a document",
         [](const LxFolder& working) {
             working.file("project.moc").write("earlier");
             return packageWithDocument("{}");
         },
         Kind::OpenError,
         [](const std::string& package) {
             return "error: Failed to copy the json file when opening project at:" + package;
         }},
        {"no Uid", [](const LxFolder&) { return packageWithDocument(R"({"Name": "N"})"); },
         Kind::InvalidProjectData,
         [](const std::string& package) {
             return "error: Failed to convert from json project object:" + package;
         }},
    };
    for (const FailingOpen& c : cases) {
        SCOPED_TRACE(c.name);
        const LxFolder working = newWorkingFolder(std::string("work-") + c.name);
        const LxFile package = c.package(working);
        const LogCapture log;
        try {
            documents.load(package, c.workingFolder(working));
            ADD_FAILURE() << "opened";
        } catch (const OrbinDocumentError& error) {
            EXPECT_EQ(error.kind(), c.error);
        }
        // The unzip itself warns about an entry it refuses; the opening's own line is the error.
        std::vector<std::string> lines = loggedMessages(log);
        std::erase_if(lines, [](const std::string& line) { return line.starts_with("warning: "); });
        ASSERT_EQ(lines.size(), 1U);
        const std::string expected = c.line(package.pathString());
        if (c.wholeLine) {
            EXPECT_EQ(lines[0], expected);
        } else {
            EXPECT_TRUE(lines[0].starts_with(expected)) << lines[0];
        }
        EXPECT_EQ(temporaryLeftovers(), std::vector<std::string>{});
    }
}

// Image data that barely compresses, as JPEG data does, opens at any size within the image
// bound: only filler is held to the inflation bound.
TEST(PackageOpeningTest, AnImageThatBarelyCompressesOpensWhateverItsSize) {
    std::string photo(3 << 20, '\0');
    std::uint32_t state = 12345;
    for (char& byte : photo) {
        state = state * 1664525U + 1013904223U;
        byte = static_cast<char>(state >> 24);
    }
    const LxFolder working = newWorkingFolder();
    const LxFile package = craftedPackage(
        "plan.orb", {{"project.moc", kPhotoDocument}, deflatedEntry("P.jpg", photo)});
    documents.load(package, working);
    EXPECT_EQ(test_files::contentOf(working.file("Photo/P.jpg").url()), photo);
}

TEST(PackageOpeningTest, AMissingPackageMakesNoFolderAtAll) {
    const LxFolder working = newWorkingFolder();
    EXPECT_THROW(documents.load(LxFile(test_files::sandbox() / "no.orb"), working),
                 OrbinDocumentError);
    EXPECT_EQ(itemsBelow(test_files::sandbox()), std::vector<std::string>{"work/"});
}

TEST(PackageOpeningTest, AProjectlessDocumentStillFillsTheWorkingFolder) {
    const LxFolder working = newWorkingFolder();
    const std::string document = R"({"Name": "N", "Ples": [{"Id": 1, "Nm": "A", "Pt": "P"}]})";
    const LxFile package =
        craftedPackage("plan.orb", {{"project.moc", document}, {"P.jpg", jpeg()}});
    EXPECT_THROW(documents.load(package, working), OrbinDocumentError);
    EXPECT_EQ(itemsBelow(working.url()),
              (std::vector<std::string>{"Photo/", "Photo/P.jpg", "project.moc"}));
    EXPECT_EQ(test_files::contentOf(working.file("project.moc").url()), document);
}

// Which images reach the working folder, and under which names.
TEST(PackageOpeningTest, CopiesTheNamedImagesAndConvertsPngOnlyOnes) {
    const LxFolder working = newWorkingFolder();
    const std::string photo = jpeg();
    const std::string png = imageBytes(lx::BitmapImageFileType::png, 128);
    const LxFile package = craftedPackage(
        "plan.orb", {{"project.moc", R"({"Uid": "U", "Image": "T", "Banner": "B", "Ples": [
                         {"Id": 1, "Nm": "A", "Pt": "A1"}, {"Id": 2, "Nm": "B", "Pt": "B2"},
                         {"Id": 3, "Nm": "C", "Pt": ""}, {"Id": 4, "Nm": "D", "Pt": "gone"},
                         {"Id": 5, "Nm": "E"}]})"},
                     {"A1.jpg", photo},
                     {"B2.png", png},
                     {"T.jpg", "tile"},
                     {"B.png", png},
                     {"other.jpg", photo},
                     {"Photo/A1.jpg", "not looked at"}});
    const LogCapture log;
    const auto project = documents.load(package, working);

    EXPECT_EQ(project->uniqueId(), "U");
    EXPECT_EQ(itemsBelow(working.url()),
              (std::vector<std::string>{"B.jpg", "Photo/", "Photo/A1.jpg", "Photo/B2.jpg", "T.jpg",
                                        "project.moc"}));
    EXPECT_EQ(test_files::contentOf(working.file("Photo/A1.jpg").url()), photo);
    EXPECT_EQ(test_files::contentOf(working.file("T.jpg").url()), "tile");
    for (const char* converted : {"Photo/B2.jpg", "B.jpg"}) {
        SCOPED_TRACE(converted);
        EXPECT_TRUE(isJpeg(test_files::contentOf(working.file(converted).url())));
        EXPECT_EQ(imageSize(working.file(converted).url()), QSize(2, 2));
    }
    EXPECT_EQ(loggedMessages(log), std::vector<std::string>{});
}

TEST(PackageOpeningTest, ThePhotoFolderFollowsTheMemberList) {
    struct Case {
        const char* document;
        bool photoFolder;
    };
    const Case cases[] = {{R"({"Uid": "U", "Ples": []})", true}, {R"({"Uid": "U"})", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        const LxFolder working = newWorkingFolder(c.photoFolder ? "with" : "without");
        documents.load(craftedPackage("plan.orb", {{"project.moc", c.document}}), working);
        EXPECT_EQ(fs::is_directory(working.url() / "Photo"), c.photoFolder);
    }
}

// A second image of an id already copied fails to copy and is only logged.
TEST(PackageOpeningTest, RepeatedImageIdsAreLoggedAndTheOpeningGoesOn) {
    const LxFolder working = newWorkingFolder();
    const LxFile package =
        craftedPackage("plan.orb", {{"project.moc", R"({"Uid": "U", "Image": "S", "Banner": "S",
                                        "Ples": [{"Id": 1, "Nm": "A", "Pt": "P"},
                                                 {"Id": 2, "Nm": "B", "Pt": "P"}]})"},
                                    {"P.jpg", "photo"},
                                    {"S.jpg", "shared"}});
    const LogCapture log;
    EXPECT_NE(documents.load(package, working), nullptr);

    const std::vector<std::string> lines = loggedMessages(log);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_TRUE(lines[0].starts_with("error: Failed to copy photo of P as ")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("error: Failed to copy pdf banner image of S as "))
        << lines[1];
    EXPECT_EQ(test_files::contentOf(working.file("Photo/P.jpg").url()), "photo");
    EXPECT_EQ(test_files::contentOf(working.file("S.jpg").url()), "shared");
}

// Ids that are no plain file name could reach files beside or above the folders; they are
// skipped with a warning, nothing outside the folders is read or written, and the ids stay.
TEST(PackageOpeningTest, ImageIdsThatAreNoFileNamesAreSkipped) {
    const fs::path sandbox = test_files::sandbox();
    test_files::put(sandbox / "outside.jpg", "private");
    fs::create_directories(sandbox / "x");
    const LxFolder working = newWorkingFolder();
    const LxFile package = craftedPackage(
        "plan.orb", {{"project.moc", R"({"Uid": "U", "Image": "/x", "Banner": "..", "Ples": [
                         {"Id": 1, "Nm": "A", "Pt": "../../../outside"},
                         {"Id": 2, "Nm": "B", "Pt": "a/b"}]})"},
                     {"a/b.jpg", "nested"}});
    const LogCapture log;
    const auto project = documents.load(package, working);

    EXPECT_EQ(loggedMessages(log),
              (std::vector<std::string>{
                  "warning: photo [../../../outside] is left out as its id is not a file name",
                  "warning: photo [a/b] is left out as its id is not a file name",
                  "warning: tile cover image [/x] is left out as its id is not a file name",
                  "warning: pdf banner image [..] is left out as its id is not a file name"}));
    EXPECT_EQ(itemsBelow(working.url()), (std::vector<std::string>{"Photo/", "project.moc"}));
    EXPECT_EQ(test_files::contentOf(sandbox / "outside.jpg"), "private");
    EXPECT_TRUE(fs::is_empty(sandbox / "x"));
    EXPECT_EQ(project->team()->members().front()->photoid(), "../../../outside");
    EXPECT_EQ(project->imageId(), "/x");
    EXPECT_EQ(project->pdfBannerImageId(), "..");
}

TEST(PackageOpeningTest, OnePackageOpensIntoTwoFoldersAlike) {
    const LxFolder first = newWorkingFolder("first");
    const LxFolder second = newWorkingFolder("second");
    documents.load(LxFile(fixture("rich.orb")), first);
    const auto firstFiles = zip_test::filesBelow(first.url());
    documents.load(LxFile(fixture("rich.orb")), second);

    EXPECT_EQ(zip_test::filesBelow(second.url()), firstFiles);
    EXPECT_EQ(zip_test::filesBelow(first.url()), firstFiles);
}

// The document is read from the bytes unpacked, not from the file: both must be the entry
// that lands at "project.moc", the last of several, and the working folder holds exactly it,
// however many pieces it was unpacked in.
TEST(PackageOpeningTest, TheDocumentReadIsTheOneTheWorkingFolderHolds) {
    const std::string notes(3 << 20, 'n');
    const std::string document = R"({"Uid": "LAST", "Note": ")" + notes + R"("})";
    const LxFile package = craftedPackage("plan.orb", {{"project.moc", R"({"Uid": "FIRST"})"},
                                                       {"sub/project.moc", R"({"Uid": "SUB"})"},
                                                       {"./project.moc", document}});
    const LxFolder working = newWorkingFolder();
    const std::shared_ptr<OrbProject> project = documents.load(package, working);
    EXPECT_EQ(project->uniqueId(), "LAST");
    EXPECT_TRUE(project->notes() == notes);
    EXPECT_EQ(itemsBelow(working.url()), std::vector<std::string>{"project.moc"});
    EXPECT_TRUE(test_files::contentOf(working.file("project.moc").url()) == document);
}

// The document is written out while it is read: a disk that cannot take it fails the open
// with one line, whatever the reading made of it, and leaves no part of it anywhere.
TEST(PackageOpeningTest, ADocumentThatCannotBeWrittenOutFailsTheOpenAndLeavesNothing) {
    const std::string document = R"({"Uid": "FULL", "Note": ")" + std::string(2 << 20, 'n') + "\"}";
    const LxFile package = craftedPackage("full.orb", {deflatedEntry("project.moc", document)});
    const LxFolder working = newWorkingFolder();
    const std::string outcome = child_process::run({}, [&] {
        constexpr rlim_t kFileSizeLimit = 1 << 20;
        const struct rlimit limit = {kFileSizeLimit, kFileSizeLimit};
        if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return std::string("could not limit the file size");
        }
        const LogCapture log;
        try {
            documents.load(package, working);
            return std::string("opened");
        } catch (const OrbinDocumentError& error) {
            if (error.kind() != Kind::OpenError) {
                return "failed as kind " + std::to_string(static_cast<int>(error.kind()));
            }
        }
        const std::vector<std::string> expected = {
            "error: Failed to copy the json file when opening project at:" + package.pathString()};
        if (loggedMessages(log) != expected) {
            return "logged " + std::to_string(loggedMessages(log).size()) + " other lines";
        }
        if (!itemsBelow(working.url()).empty() || !temporaryLeftovers().empty()) {
            return std::string("left files behind");
        }
        return std::string();
    });
    EXPECT_EQ(outcome, "");
}

// The document of a large plan is far larger than any photo, and it is held to the document's
// bound under each name the document is read from.
TEST(PackageOpeningTest, ADocumentLargerThanAPhotoOpensUnderEitherName) {
    // A valid plan padded with white space to one byte over the photo bound: deflated, the
    // package stays small.
    const std::string head = R"({"Uid": "LARGE")";
    std::string document = head;
    document.append(OrbinDocumentManager::kMaximumImageSize - head.size(), ' ');
    document += '}';
    ASSERT_EQ(document.size(), OrbinDocumentManager::kMaximumImageSize + 1);

    const struct {
        const char* entry;
        const char* folder;
    } cases[] = {{"project.moc", "bare"}, {"./project.moc", "dotted"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const LxFile package = craftedPackage("large.orb", {deflatedEntry(c.entry, document)});
        const LxFolder working = newWorkingFolder(c.folder);
        const LogCapture log;
        const std::shared_ptr<OrbProject> project = documents.load(package, working);
        EXPECT_EQ(project->uniqueId(), "LARGE");
        EXPECT_EQ(itemsBelow(working.url()), std::vector<std::string>{"project.moc"});
        EXPECT_TRUE(test_files::contentOf(working.file("project.moc").url()) == document);
        EXPECT_EQ(loggedMessages(log), std::vector<std::string>{});
        EXPECT_EQ(temporaryLeftovers(), std::vector<std::string>{});
    }
}

}  // namespace

namespace {

// A user's file may be named with a line feed, and an image id read from the package names a
// file too (in a failure's own text as well): each line names them escaped, and no line of its
// own is forged. The C1 control U+009B would start an escape sequence on a terminal.
TEST(PackageOpeningTest, ANameWithControlsIsWrittenEscapedInTheOpeningsLines) {
    const std::string forged =
        "\n[\xF0\x9F\x94\xB4 error] forged\xC2\x9B"
        "2J";
    const std::string escaped = "\\x0A[\xF0\x9F\x94\xB4 error] forged\\xC2\\x9B2J";
    const std::string package = test_files::sandbox().string() + "/plan" + escaped + ".orb";
    const std::string photo = "P" + forged;
    struct Case {
        const char* name;
        std::function<LxFile()> package;
        // The beginnings of the lines logged, in their order.
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"missing package",
         [&] { return LxFile(test_files::sandbox() / ("plan" + forged + ".orb")); },
         {"error: .orb file loading failed as the file does not exist:" + package}},
        {"not an archive",
         [&] {
             return LxFile(test_files::put(test_files::sandbox() / ("plan" + forged + ".orb")));
         },
         {"error: Failed to unzip the .orb file \"" + package + "\": "}},
        {"document in a sub-folder",
         [&] {
             return craftedPackage("plan" + forged + ".orb", {{"sub/project.moc", "{}"}});
         },
         {"error: Failed to load project as there is no json file in teh zip file:" + package}},
        {"not JSON",
         [&] {
             return craftedPackage("plan" + forged + ".orb", {{"project.moc", "{not"}});
         },
         {"error: Failed to pharse project json file:" + package}},
        {"no Uid",
         [&] {
             return craftedPackage("plan" + forged + ".orb", {{"project.moc", "{}"}});
         },
         {"error: Failed to convert from json project object:" + package}},
        {"photo id shared by two members",
         [&] {
             return craftedPackage(
                 "plan.orb", {{"project.moc", R"({"Uid": "U", "Ples": [)"
                                              R"({"Id": 1, "Nm": "A", "Pt": "P\n[\ud83d\udd34 )"
                                              R"(error] forged\u009b2J"},)"
                                              R"({"Id": 2, "Nm": "B", "Pt": "P\n[\ud83d\udd34 )"
                                              R"(error] forged\u009b2J"}]})"},
                              // The entry is named in UTF-8 (flag bit 11), as the id is.
                              {photo + ".jpg", "photo", 0, 0x0800}});
         },
         {"error: Failed to copy photo of P" + escaped + " as "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LxFolder working = newWorkingFolder(std::string("work-") + c.name);
        const LxFile file = c.package();
        const LogCapture log;
        try {
            documents.load(file, working);
        } catch (const OrbinDocumentError&) {
        }
        const std::vector<std::string> lines = loggedMessages(log);
        ASSERT_EQ(lines.size(), c.lines.size());
        for (std::size_t index = 0; index < lines.size(); ++index) {
            EXPECT_TRUE(lines[index].starts_with(c.lines[index])) << lines[index];
            EXPECT_EQ(lines[index].find('\n'), std::string::npos) << lines[index];
        }
        std::filesystem::remove(file.url());
    }
}

// Control characters from a package reach the log escaped: a NUL in an image id must not end
// up raw on standard output, nor a line feed start a forged line.
TEST(PackageOpeningTest, TextFromThePackageIsEscapedInLogLines) {
    const LxFolder working = newWorkingFolder();
    const LxFile package = craftedPackage(
        "plan.orb",
        {{"project.moc",
          R"({"Uid": "U", "Ples": [{"Id": 1, "Nm": "A", "Pt": "a\u0000/\nb\u001b"}]})"}});
    const LogCapture log;
    documents.load(package, working);
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_TRUE(lines[0].find(R"(photo [a\x00/\x0Ab\x1B] is left out)") != std::string::npos)
        << lines[0];
    EXPECT_EQ(lines[0].find('\0'), std::string::npos);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\n'), 1);
}

}  // namespace
