#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>
#include <zlib.h>

#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QSize>
#include <gtest/gtest.h>

#include "support/FileTestHelpers.h"
#include "ui-kit/image/ImageEncoding.h"

namespace {

namespace fs = std::filesystem;
using lx::BitmapImageFileType;
using Bytes = std::vector<std::uint8_t>;

QImage twoByTwo() {
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(QColor(200, 30, 30));
    image.setPixelColor(1, 1, QColor(0, 0, 255, 0));
    return image;
}

Bytes bytesOf(const fs::path& path) {
    const std::string content = test_files::contentOf(path);
    return Bytes(content.begin(), content.end());
}

void putBytes(const fs::path& path, const Bytes& bytes) {
    test_files::put(path, std::string(bytes.begin(), bytes.end()));
}

bool startsWith(const Bytes& bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// A valid PNG whose header claims `width` x `height`, with the header's checksum made to match
// so that only the size can stop a decoder.
Bytes pngClaiming(std::uint32_t width, std::uint32_t height) {
    Bytes png = *lx::toData(twoByTwo(), BitmapImageFileType::png);
    const auto putBigEndian = [&png](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            png[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
        }
    };
    // Signature (8), length (4), "IHDR" at 12, width at 16, height at 20, checksum at 29.
    putBigEndian(16, width);
    putBigEndian(20, height);
    putBigEndian(29, static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17)));
    return png;
}

TEST(ImageEncodingTest, EncodesEveryFileTypeWithAWriterAndNothingElse) {
    const bool tiffWriter = QImageWriter::supportedImageFormats().contains("tiff");
    struct Case {
        BitmapImageFileType fileType;
        std::optional<std::string_view> magic;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {BitmapImageFileType::png, "\x89PNG\r\n\x1a\n"sv},
        {BitmapImageFileType::jpeg, "\xFF\xD8\xFF"sv},
        {BitmapImageFileType::bmp, "BM"sv},
        {BitmapImageFileType::tiff,
         tiffWriter ? std::optional<std::string_view>("II*\0"sv) : std::nullopt},
        {BitmapImageFileType::gif, std::nullopt},
        {BitmapImageFileType::jpeg2000, std::nullopt},
        {static_cast<BitmapImageFileType>(9), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fileType));
        const auto data = lx::toData(twoByTwo(), c.fileType);
        ASSERT_EQ(data.has_value(), c.magic.has_value());
        if (!data) {
            continue;
        }
        EXPECT_TRUE(startsWith(*data, *c.magic));
        const QImage decoded = QImage::fromData(data->data(), static_cast<int>(data->size()));
        EXPECT_EQ(decoded.size(), QSize(2, 2));
    }
    EXPECT_EQ(lx::toData(twoByTwo()), lx::toData(twoByTwo(), BitmapImageFileType::png));
}

TEST(ImageEncodingTest, PngFileIsRewrittenAsJpegOverAnOlderFile) {
    const fs::path png = test_files::sandbox() / "A1.png";
    const fs::path jpeg = test_files::sandbox() / "A1.jpg";
    ASSERT_TRUE(lx::write(twoByTwo(), png));
    test_files::put(jpeg, "older content");

    const auto image = lx::imageWithContentsOfFile(png);
    ASSERT_TRUE(image);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(lx::write(*image, jpeg, BitmapImageFileType::jpeg));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    EXPECT_TRUE(startsWith(bytesOf(jpeg), "\xFF\xD8\xFF"));
    const QImage decoded(QString::fromStdString(jpeg.string()), "jpeg");
    EXPECT_EQ(decoded.size(), QSize(2, 2));
    EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 2);
}

TEST(ImageEncodingTest, FailedWritesAnswerFalseAndOnlyAFailedFileWritePrints) {
    const fs::path missingFolder = test_files::sandbox() / "missing" / "A1.jpg";
    // An image id read from a package names the file; it must not start a line of its own.
    const fs::path forgedName = test_files::sandbox() / "missing" /
                                "A1\n[\xF0\x9F\x94\xB4 error] forged\xC2\x9B"
                                "2J.jpg";
    const fs::path target = test_files::sandbox() / "A1.jpg";
    struct Case {
        const char* name;
        QImage image;
        fs::path path;
        BitmapImageFileType fileType;
        std::string printed;
    };
    const Case cases[] = {
        {"folder missing", twoByTwo(), missingFolder, BitmapImageFileType::jpeg,
         "Failed to save image to file " + missingFolder.string() + "\n"},
        {"name with controls", twoByTwo(), forgedName, BitmapImageFileType::jpeg,
         "Failed to save image to file " + (test_files::sandbox() / "missing").string() +
             "/A1\\x0A[\xF0\x9F\x94\xB4 error] forged\\xC2\\x9B2J.jpg\n"},
        {"null image", QImage(), target, BitmapImageFileType::png, ""},
        {"no encoder", twoByTwo(), target, BitmapImageFileType::gif, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(lx::write(c.image, c.path, c.fileType));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    }
    EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 0);
}

TEST(ImageEncodingTest, DecodesByContentAndAppliesTheStoredOrientation) {
    const fs::path jpegNamedPng = test_files::sandbox() / "B1.png";
    putBytes(jpegNamedPng, *lx::toData(twoByTwo(), BitmapImageFileType::jpeg));
    const auto image = lx::imageWithContentsOfFile(jpegNamedPng);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(2, 2));

    const fs::path rotated = test_files::sandbox() / "rotated.jpg";
    QImageWriter writer(QString::fromStdString(rotated.string()), "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(QImage(4, 2, QImage::Format_RGB32)));
    EXPECT_EQ(lx::imageWithContentsOfFile(rotated)->size(), QSize(2, 4));
}

TEST(ImageEncodingTest, UnreadableAndOversizedFilesGiveNoImage) {
    const fs::path sandbox = test_files::sandbox();
    const Bytes png = *lx::toData(twoByTwo(), BitmapImageFileType::png);
    putBytes(sandbox / "truncated.png", Bytes(png.begin(), png.begin() + 40));
    putBytes(sandbox / "huge.png", pngClaiming(50'000, 50'000));
    putBytes(sandbox / "wide.png", pngClaiming(1'000'000, 100));
    test_files::put(sandbox / "text.png", "not an image");
    fs::create_directory(sandbox / "folder.png");
    ASSERT_EQ(::mkfifo((sandbox / "pipe.png").c_str(), 0600), 0);

    for (const char* name : {"missing.png", "truncated.png", "huge.png", "wide.png", "text.png",
                             "folder.png", "pipe.png"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(lx::imageWithContentsOfFile(sandbox / name));
    }
}

TEST(ImageEncodingTest, BundleImagesAreFoundByNameAndType) {
    struct Case {
        std::optional<QImage> image;
        bool found;
    };
    const Case cases[] = {
        {lx::fromBundleFile("Marker"), true},
        {lx::fromBundleFile("Marker", "png"), true},
        {lx::fromBundleFileFullPath("Marker.png"), true},
        {lx::fromBundleFile("Marker.png", std::nullopt), true},
        {lx::fromBundleFile("Marker.png", ""), true},
        {lx::fromBundleFile("Marker", "jpg"), false},
        {lx::fromBundleFileFullPath("Marker"), false},
        {lx::fromBundleFile("Missing"), false},
        {lx::fromBundleFile("NotAnImage"), false},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        SCOPED_TRACE(row);
        ASSERT_EQ(cases[row].image.has_value(), cases[row].found);
        if (cases[row].found) {
            EXPECT_EQ(cases[row].image->size(), QSize(2, 2));
            EXPECT_EQ(cases[row].image->pixelColor(1, 0), QColor(30, 200, 30));
        }
    }
}

}  // namespace
