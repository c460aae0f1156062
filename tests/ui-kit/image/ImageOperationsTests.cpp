#include <functional>
#include <optional>
#include <string>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "ui-kit/image/ImageEncoding.h"
#include "ui-kit/image/ImageOperations.h"

namespace {

using image_test::halves;
using image_test::isOpaque;
using image_test::pixel;
using image_test::pixels;
using image_test::solid;
using platform::CGRect;
using platform::CGSize;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);

struct SizeCase {
    const char* name;
    std::function<std::optional<LxImage>(const LxImage&)> operation;
    CGSize points;
    QSize pixels;
};

TEST(ImageOperations, GiveTheirSizesInPointsAndPixels) {
    const LxImage image(solid(200, 100, kRed));
    const SizeCase cases[] = {
        {"resizing into 50 × 50",
         [](auto& i) {
             return lx::resizing(i, {50, 50}, std::nullopt, 1);
         },
         {50, 25},
         {50, 25}},
        {"resizing into 300 × 50, rounded",
         [](auto& i) {
             return lx::resizing(i, {300, 50}, 10.0, 2);
         },
         {100, 50},
         {200, 100}},
        {"resizing to width 100",
         [](auto& i) { return lx::resizingToWidth(i, 100, 1); },
         {100, 50},
         {100, 50}},
        {"resizing to height 50",
         [](auto& i) { return lx::resizingToHeight(i, 50, 1); },
         {100, 50},
         {100, 50}},
        {"stretched at scale 2",
         [](auto& i) {
             return lx::stretched(i, {30, 70}, 2);
         },
         {30, 70},
         {60, 140}},
        {"corner rounded at scale 3",
         [](auto& i) { return lx::cornerRounded(i, 30, 3); },
         {200, 100},
         {600, 300}},
        {"tinted", [](auto& i) { return lx::tintColored(i, kBlue, 1); }, {200, 100}, {200, 100}},
        {"masked",
         [](auto& i) { return lx::masked(i, LxImage(solid(5, 5, kRed)), 2); },
         {200, 100},
         {400, 200}},
    };
    for (const SizeCase& test : cases) {
        const auto result = test.operation(image);
        ASSERT_TRUE(result) << test.name;
        EXPECT_EQ(result->size(), test.points) << test.name;
        EXPECT_EQ(pixels(*result).size(), test.pixels) << test.name;
        EXPECT_EQ(lx::pixelSize(*result),
                  (CGSize{double(test.pixels.width()), double(test.pixels.height())}))
            << test.name;
    }
}

TEST(ImageOperations, GiveNothingForImagesWithoutAreaOrPixels) {
    const LxImage noWidth({0, 10}, {{solid(1, 1, kRed)}});
    const LxImage noPixels({10, 10}, {});
    EXPECT_FALSE(lx::resizing(noWidth, {50, 50}, std::nullopt, 1));
    EXPECT_FALSE(lx::resizingToWidth(noWidth, 50, 1));
    EXPECT_FALSE(lx::resizingToHeight(noWidth, 50, 1));
    EXPECT_FALSE(lx::resizingToHeight(LxImage(), 50, 1));
    EXPECT_FALSE(lx::cornerRounded(noWidth, 4, 1));
    EXPECT_FALSE(lx::stretched(noPixels, {0, 4}, 1));
    EXPECT_FALSE(lx::resizing(LxImage(solid(10, 10, kRed)), {50, 50}, std::nullopt, 0));
    // A mask or a tint needs pixels to cover by.
    EXPECT_FALSE(lx::masked(LxImage(solid(10, 10, kRed)), noPixels, 1));
    EXPECT_FALSE(lx::tintColored(noPixels, kRed, 1));
    EXPECT_FALSE(lx::grayScaled(noPixels));
}

TEST(ImageOperations, RoundedCornersAreTransparent) {
    // Corners of 30 × 20: the corner pixel lies outside, the middle of each edge inside.
    const auto rounded = lx::cornerRounded(LxImage(solid(100, 40, kRed)), 30, 1);
    ASSERT_TRUE(rounded);
    EXPECT_EQ(pixel(*rounded, 0, 0).alpha(), 0);
    EXPECT_EQ(pixel(*rounded, 99, 39).alpha(), 0);
    EXPECT_EQ(pixel(*rounded, 5, 2).alpha(), 0);
    EXPECT_TRUE(isOpaque(pixel(*rounded, 50, 0), kRed));
    EXPECT_TRUE(isOpaque(pixel(*rounded, 3, 20), kRed));
}

TEST(ImageOperations, TintPaintsWhereTheImageIsOpaqueOnly) {
    QImage halfClear = solid(20, 20, kRed);
    QPainter painter(&halfClear);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(10, 0, 10, 20, Qt::transparent);
    painter.fillRect(0, 0, 10, 10, QColor(0, 0, 0, 128));
    painter.end();
    const auto tinted = lx::tintColored(LxImage(halfClear), kGreen, 2);
    ASSERT_TRUE(tinted);
    EXPECT_TRUE(isOpaque(pixel(*tinted, 5, 30), kGreen));
    EXPECT_EQ(pixel(*tinted, 30, 30).alpha(), 0);
    EXPECT_EQ(pixel(*tinted, 39, 0).alpha(), 0);
    // Half covered, half tinted.
    EXPECT_NEAR(pixel(*tinted, 5, 5).alpha(), 128, 2);
    EXPECT_EQ(pixel(*tinted, 5, 5).green(), 255);
}

TEST(ImageOperations, MaskLaidAtTheLowerLeftHidesEverythingOutsideIt) {
    const LxImage image(solid(40, 40, kRed));
    struct Case {
        const char* name;
        QImage mask;
    };
    // Half the image's size: only the lower-left quadrant can show.
    QImage greyMask(20, 20, QImage::Format_RGB32);
    greyMask.fill(Qt::white);
    QPainter(&greyMask).fillRect(0, 0, 20, 10, Qt::black);
    QImage alphaMask = solid(20, 20, kBlue);
    QPainter alphaPainter(&alphaMask);
    alphaPainter.setCompositionMode(QPainter::CompositionMode_Source);
    alphaPainter.fillRect(0, 0, 20, 10, Qt::transparent);
    alphaPainter.end();
    for (const Case& test : {Case{"grey mask", greyMask}, Case{"alpha mask", alphaMask}}) {
        for (const int scale : {1, 2}) {
            const auto result = lx::masked(image, LxImage(test.mask), scale);
            ASSERT_TRUE(result) << test.name;
            const auto at = [&](int x, int y) { return pixel(*result, x * scale, y * scale); };
            EXPECT_TRUE(isOpaque(at(0, 39), kRed)) << test.name << scale;
            EXPECT_TRUE(isOpaque(at(19, 31), kRed)) << test.name << scale;
            EXPECT_EQ(at(19, 28).alpha(), 0) << test.name << scale;  // the mask's black half
            EXPECT_EQ(at(20, 39).alpha(), 0) << test.name << scale;  // right of the mask
            EXPECT_EQ(at(0, 19).alpha(), 0) << test.name << scale;   // above the mask
            EXPECT_EQ(at(39, 0).alpha(), 0) << test.name << scale;
        }
    }
}

TEST(ImageOperations, VerticalFlipTurnsEveryRepresentationUpsideDown) {
    const LxImage image({50, 50}, {{halves(100, 100, kRed, kBlue).representations()[0].pixels},
                                   {solid(3, 3, kRed), LxImage::RepresentationKind::nonBitmap}});
    const LxImage flipped = lx::verticalFlipped(image);
    EXPECT_EQ(flipped.size(), image.size());
    ASSERT_EQ(flipped.representations().size(), 2u);
    EXPECT_TRUE(isOpaque(pixel(flipped, 0, 0), kBlue));
    EXPECT_TRUE(isOpaque(pixel(flipped, 99, 99), kRed));
    EXPECT_EQ(flipped.representations()[1].kind, LxImage::RepresentationKind::nonBitmap);
    EXPECT_EQ(lx::verticalFlipped(LxImage()).representations().size(), 0u);
}

TEST(ImageOperations, GreyScaleKeepsSizeAndAlpha) {
    QImage colours = solid(4, 2, QColor(200, 40, 10));
    colours.setPixelColor(1, 0, QColor(0, 0, 255, 0));
    colours.setPixelColor(2, 1, QColor(10, 250, 30, 100));
    const LxImage image({2, 1}, {{colours}});
    const auto grey = lx::grayScaled(image);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->size(), (CGSize{2, 1}));
    ASSERT_NE(grey->firstBitmap(), nullptr);
    EXPECT_EQ(pixels(*grey).size(), QSize(4, 2));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const QColor in = colours.pixelColor(x, y);
            const QColor out = pixel(*grey, x, y);
            EXPECT_EQ(out.alpha(), in.alpha()) << x << "," << y;
            if (in.alpha() > 0) {
                EXPECT_EQ(out.red(), out.green()) << x << "," << y;
                EXPECT_EQ(out.green(), out.blue()) << x << "," << y;
            }
        }
    }
    EXPECT_NEAR(pixel(*grey, 0, 0).red(), qGray(200, 40, 10), 2);

    // Opaque pixels and pixels that only draw give a grey bitmap without alpha.
    for (const auto kind :
         {LxImage::RepresentationKind::bitmap, LxImage::RepresentationKind::nonBitmap}) {
        QImage opaque(3, 3, QImage::Format_RGB32);
        opaque.fill(QColor(10, 200, 60));
        const auto result = lx::grayScaled(LxImage({3, 3}, {{opaque, kind}}));
        ASSERT_TRUE(result);
        EXPECT_EQ(pixels(*result).format(), QImage::Format_Grayscale8);
        ASSERT_NE(result->firstBitmap(), nullptr);
    }
}

TEST(ImageOperations, DrawingAtAPointAndCentredCountsFromTheLowerLeft) {
    const LxImage square(solid(10, 10, kRed));
    const auto atPoint =
        ImageHelper::shared().image({30, 30}, 1, [&](const CGRect&, ImageDrawingContext& context) {
            lx::draw(square, context, platform::CGPoint{2, 3}, 0.5);
        });
    ASSERT_TRUE(atPoint);
    EXPECT_NEAR(pixel(*atPoint, 2, 26).alpha(), 128, 2);
    EXPECT_EQ(pixel(*atPoint, 2, 27).alpha(), 0);
    EXPECT_EQ(pixel(*atPoint, 1, 26).alpha(), 0);
    EXPECT_NEAR(pixel(*atPoint, 11, 17).alpha(), 128, 2);
    EXPECT_EQ(pixel(*atPoint, 12, 17).alpha(), 0);

    // 7.5 rounds up to 8: columns and rows 8 to 17 (rows 7 to 16 from the top of 25).
    const auto centred = ImageHelper::shared().image(
        {25, 25}, 1,
        [&](const CGRect& rect, ImageDrawingContext& context) { lx::draw(square, context, rect); });
    ASSERT_TRUE(centred);
    EXPECT_TRUE(isOpaque(pixel(*centred, 8, 16), kRed));
    EXPECT_TRUE(isOpaque(pixel(*centred, 17, 7), kRed));
    EXPECT_EQ(pixel(*centred, 7, 12).alpha(), 0);
    EXPECT_EQ(pixel(*centred, 18, 12).alpha(), 0);
    EXPECT_EQ(pixel(*centred, 12, 17).alpha(), 0);
    EXPECT_EQ(pixel(*centred, 12, 6).alpha(), 0);
}

TEST(ImageForms, PixelSizeBitmapAndFilterForms) {
    const LxImage doubleDensity({100, 100}, {{solid(200, 200, kRed)}});
    EXPECT_EQ(lx::pixelSize(doubleDensity), (CGSize{200, 200}));
    EXPECT_EQ(lx::pixelSize(LxImage({7, 9}, {})), (CGSize{7, 9}));
    QImage twice = solid(40, 20, kRed);
    twice.setDevicePixelRatio(2);
    EXPECT_EQ(LxImage(twice).size(), (CGSize{20, 10}));
    EXPECT_TRUE(LxImage(QImage()).representations().empty());

    ASSERT_TRUE(lx::cgImage(doubleDensity));
    EXPECT_EQ(lx::cgImage(doubleDensity)->size(), QSize(200, 200));
    EXPECT_FALSE(lx::cgImage(LxImage()));
    ASSERT_TRUE(lx::ciImage(doubleDensity));
    EXPECT_FALSE(lx::ciImage(LxImage()));

    // A filter result draws but is no bitmap, so it is never encoded.
    const LxImage converted = LxImage::convert(*lx::ciImage(doubleDensity));
    EXPECT_EQ(converted.size(), (CGSize{200, 200}));
    EXPECT_EQ(converted.firstBitmap(), nullptr);
    EXPECT_FALSE(lx::toData(converted));
    EXPECT_TRUE(lx::toData(doubleDensity, lx::BitmapImageFileType::jpeg));
    const auto redrawn = lx::stretched(converted, {4, 4}, 1);
    ASSERT_TRUE(redrawn);
    EXPECT_TRUE(isOpaque(pixel(*redrawn, 2, 2), kRed));
    EXPECT_TRUE(lx::toData(*redrawn));
}

}  // namespace
