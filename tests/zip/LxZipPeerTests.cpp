// Independent tools check the archives: Info-ZIP and python's zipfile must accept what we write,
// and what they write must unpack with ours.
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "support/FileTestHelpers.h"
#include "zip/LxZip.h"
#include "zip/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;

using test_files::put;
using zip_test::quoted;
using zip_test::run;

class LxZipPeerTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tree / "photos" / "team");
        put(tree / "project.moc", "{\"Uid\":7,\"Name\":\"Plan\"}");
        put(tree / "photos" / "team" / "12.jpg", std::string(70'000, 'j'));
        put(tree / "photos" / "empty.jpg", "");
    }

    const fs::path sandbox = test_files::sandbox();
    const fs::path tree = sandbox / "tree";
    const fs::path archive = sandbox / "peer.zip";
    const fs::path destination = sandbox / "unpacked";
};

// At every level, with a document large enough to span many deflate blocks; python reads each
// entry's bytes back as they were.
TEST_F(LxZipPeerTest, OurArchivesPassInfoZipAndPython) {
    std::string document = "{\"Tasks\": [";
    for (int task = 0; document.size() < 3'000'000; ++task) {
        document += "{\"Uid\": " + std::to_string(task) + ", \"Nm\": \"Task " +
                    std::to_string(task * 7919 % 100'003) + "\"}, ";
    }
    document += "{}]}";
    put(tree / "project.moc", document);
    for (const LxZipCompression compression :
         {LxZipCompression::NoCompression, LxZipCompression::BestSpeed,
          LxZipCompression::DefaultCompression, LxZipCompression::BestCompression}) {
        SCOPED_TRACE(compression.rawValue());
        fs::remove(archive);
        LxZip::zipFiles({tree / "project.moc", tree / "photos"}, archive, std::nullopt,
                        compression);

        const zip_test::CommandResult infoZip = run("unzip -t " + quoted(archive));
        EXPECT_EQ(infoZip.exitCode, 0) << infoZip.output;
        EXPECT_NE(infoZip.output.find("No errors detected"), std::string::npos) << infoZip.output;

        // python reports a bad entry in its output but still exits with 0.
        const zip_test::CommandResult python =
            run(std::string(zip_test::kPython) + " -m zipfile -t " + quoted(archive));
        EXPECT_EQ(python.exitCode, 0) << python.output;
        EXPECT_EQ(python.output, "Done testing\n");

        const zip_test::CommandResult extracted =
            run(std::string(zip_test::kPython) + " -m zipfile -e " + quoted(archive) + " " +
                quoted(destination));
        EXPECT_EQ(extracted.exitCode, 0) << extracted.output;
        EXPECT_TRUE(test_files::contentOf(destination / "project.moc") == document);
        EXPECT_EQ(test_files::contentOf(destination / "photos" / "team" / "12.jpg"),
                  std::string(70'000, 'j'));
        EXPECT_EQ(test_files::contentOf(destination / "photos" / "empty.jpg"), "");
        fs::remove_all(destination);
    }
}

TEST_F(LxZipPeerTest, InfoZipArchivesUnpackWithFoldersAndModes) {
    fs::permissions(tree / "project.moc", fs::perms(0640));
    fs::permissions(tree / "photos" / "team", fs::perms(0750));
    const zip_test::CommandResult zipped =
        run("cd " + quoted(sandbox) + " && zip -q -r peer.zip tree");
    ASSERT_EQ(zipped.exitCode, 0) << zipped.output;

    LxZip::unzipFile(archive, destination, true, std::nullopt);

    EXPECT_EQ(zip_test::filesBelow(destination / "tree"), zip_test::filesBelow(tree));
    EXPECT_EQ(fs::status(destination / "tree" / "project.moc").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(destination / "tree" / "photos" / "team").permissions(), fs::perms(0750));
}

TEST_F(LxZipPeerTest, PythonArchivesUnpackStoredAndStreamed) {
    // Written to a pipe, python cannot seek back and puts each entry's sizes and CRC in a data
    // descriptor after its bytes.
    const std::string script =
        "import sys, zipfile\n"
        "method = zipfile.ZIP_STORED if sys.argv[1] == 'stored' else zipfile.ZIP_DEFLATED\n"
        "with zipfile.ZipFile(sys.stdout.buffer, 'w', method) as archive:\n"
        "    for name in sys.argv[2:]:\n"
        "        with open(name, 'rb') as source, archive.open(name, 'w') as entry:\n"
        "            entry.write(source.read())\n";
    for (const char* kind : {"stored", "streamed"}) {
        SCOPED_TRACE(kind);
        fs::remove_all(destination);
        const std::string command = "cd " + quoted(tree) + " && " + zip_test::kPython + " -c \"" +
                                    script + "\" " + kind +
                                    " project.moc photos/team/12.jpg photos/empty.jpg";
        const std::string redirect =
            std::string(kind) == "stored" ? " > " + quoted(archive) : " | cat > " + quoted(archive);
        const zip_test::CommandResult zipped = run(command + redirect);
        ASSERT_EQ(zipped.exitCode, 0) << zipped.output;

        LxZip::unzipFile(archive, destination, true, std::nullopt);

        EXPECT_EQ(zip_test::filesBelow(destination), zip_test::filesBelow(tree));
    }
}

}  // namespace
