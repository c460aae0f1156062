#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <gtest/gtest.h>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "folder/LxFolder.h"
#include "support/FileTestHelpers.h"
#include "support/LogCapture.h"
#include "ui-kit/image/ImageEncoding.h"
#include "zip/ZipTestSupport.h"

// Packages, working folders and log lines for the package tests. Every path lies in the test's
// own $TMPDIR sandbox.
namespace package_test {

namespace fs = std::filesystem;

inline fs::path fixture(const std::string& name) {
    return fs::path(ORBIN_FIXTURES_DIR) / name;
}

// A new, existing working folder "work<n>" in the sandbox.
inline LxFolder newWorkingFolder(const std::string& name = "work") {
    const fs::path path = test_files::sandbox() / name;
    fs::create_directories(path);
    return LxFolder(path, false);
}

// A package of stored entries, written byte by byte: names and all exactly as given.
inline LxFile craftedPackage(const std::string& name,
                             const std::vector<zip_test::CraftedEntry>& entries) {
    return LxFile(zip_test::writeArchive(test_files::sandbox() / name, entries));
}

// The entry names of an archive in their order, as python's zipfile reads them.
inline std::vector<std::string> entryNames(const fs::path& archive) {
    const zip_test::CommandResult listing =
        zip_test::run(std::string(zip_test::kPython) +
                      " -c 'import sys, zipfile; print(\"\\n\".join(zipfile.ZipFile("
                      "sys.argv[1]).namelist()))' " +
                      zip_test::quoted(archive));
    EXPECT_EQ(listing.exitCode, 0) << listing.output;
    std::vector<std::string> names;
    std::string::size_type start = 0;
    for (auto end = listing.output.find('\n'); end != std::string::npos;
         start = end + 1, end = listing.output.find('\n', start)) {
        if (end > start) {
            names.push_back(listing.output.substr(start, end - start));
        }
    }
    return names;
}

// The bytes of one entry of an archive, as python's zipfile reads them.
inline std::string bytesOfEntry(const fs::path& archive, const std::string& entry) {
    const zip_test::CommandResult read = zip_test::run(
        std::string(zip_test::kPython) +
        " -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("
        "sys.argv[2]))' " +
        zip_test::quoted(archive) + " " + zip_test::quoted(entry));
    EXPECT_EQ(read.exitCode, 0) << read.output;
    return read.output;
}

// The lines logged, each as "<level>: <message>" without the tag's symbol and the location.
inline std::vector<std::string> loggedMessages(const LogCapture& log) {
    std::vector<std::string> messages;
    for (const std::string& line : log.lines()) {
        const auto levelStart = line.find(' ') + 1;
        const auto levelEnd = line.find("] ");
        auto messageEnd = line.rfind(" \t{ (");
        if (messageEnd == std::string::npos) {
            messageEnd = line.size() - 1;
        }
        messages.push_back(line.substr(levelStart, levelEnd - levelStart) + ": " +
                           line.substr(levelEnd + 2, messageEnd - levelEnd - 2));
    }
    return messages;
}

// A 2x2 image file's bytes in `fileType`; `alpha` below 255 makes a PNG transparent.
inline std::string imageBytes(lx::BitmapImageFileType fileType, int alpha = 255) {
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(QColor(200, 40, 40, alpha));
    const auto data = lx::toData(image, fileType);
    return data ? std::string(data->begin(), data->end()) : std::string();
}

inline bool isJpeg(const std::string& bytes) {
    return bytes.starts_with("\xFF\xD8\xFF");
}

// The size of the image decoded from the file; none when it is no image.
inline std::optional<QSize> imageSize(const fs::path& path) {
    const auto image = lx::imageWithContentsOfFile(path);
    return image ? std::optional(image->size()) : std::nullopt;
}

// Every file below `folder` by its relative path, folders with a trailing "/".
inline std::vector<std::string> itemsBelow(const fs::path& folder) {
    std::vector<std::string> items;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        items.push_back(item.path().lexically_relative(folder).string() +
                        (item.is_directory() ? "/" : ""));
    }
    std::sort(items.begin(), items.end());
    return items;
}

// What is left in this process's temporary folder; unzip folders must not stay.
inline std::vector<std::string> temporaryLeftovers() {
    return itemsBelow(LxFolder::tmpFolder().url());
}

}  // namespace package_test
