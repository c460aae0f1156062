#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

#include <QImage>
#include <gtest/gtest.h>

#include "folder/LxFile.h"
#include "support/QtApplicationTest.h"
#include "ui-kit/ViewExtensions.h"

namespace {

TEST(ViewExtensionsTest, ArgbHexReadsTheLowFourBytesAsWritten) {
    struct Row {
        const char* name;
        std::int64_t argb;
        QRgb expected;
    };
    const Row rows[] = {
        {"opaque blue", 0xFF0000FF, qRgba(0, 0, 255, 255)},
        {"no alpha byte is transparent", 0x00FF0000, qRgba(255, 0, 0, 0)},
        {"bits above 31 are ignored", 0x1FF0000FF, qRgba(0, 0, 255, 255)},
        {"minus one is opaque white", -1, qRgba(255, 255, 255, 255)},
        {"the most negative", INT64_MIN, qRgba(0, 0, 0, 0)},
        {"every byte apart", 0x80402010, qRgba(0x40, 0x20, 0x10, 0x80)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(lx::argbHex(row.argb).rgba(), row.expected);
    }
}

TEST(ViewExtensionsTest, EachChangerReplacesOneEdge) {
    const platform::EdgeInsets insets{1, 2, 3, 4};
    EXPECT_EQ(lx::topChanged(insets, 9), (platform::EdgeInsets{9, 2, 3, 4}));
    EXPECT_EQ(lx::leadingChanged(insets, 9), (platform::EdgeInsets{1, 9, 3, 4}));
    EXPECT_EQ(lx::bottomChanged(insets, 9), (platform::EdgeInsets{1, 2, 9, 4}));
    EXPECT_EQ(lx::trailingChanged(insets, 9), (platform::EdgeInsets{1, 2, 3, 9}));
}

class ImageFromFileTest : public QtApplicationTest {};

TEST_F(ImageFromFileTest, OnlyAReadableImageGivesAnImage) {
    const std::string folder = qEnvironmentVariable("TMPDIR").toStdString();
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder + "/photo.png")));
    std::ofstream(folder + "/notes.png") << "not an image";

    const std::optional<QImage> image = lx::imageFromFile(folder + "/photo.png");
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->size(), QSize(4, 3));
    EXPECT_EQ(lx::loadImage(LxFile(folder + "/photo.png"))->pixelColor(0, 0), QColor(Qt::green));

    for (const std::string& path : {folder + "/missing.png", folder + "/notes.png", folder}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(lx::imageFromFile(path), std::nullopt);
        EXPECT_EQ(lx::imageFromFile(LxFile(path)), std::nullopt);
    }
}

}  // namespace
