#include <limits>
#include <optional>
#include <vector>

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "ui-kit/image/ImageHelper.h"
#include "ui-kit/image/ImageProcessing.h"

namespace {

using image_test::halves;
using image_test::isOpaque;
using image_test::pixel;
using image_test::pixels;
using image_test::solid;
using platform::CGRect;
using platform::CGSize;
using platform::EdgeInsets;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

std::optional<LxImage> drawn(CGSize size, int scale, const ImageHelper::Drawing& draw) {
    return ImageHelper::shared().image(size, scale, draw);
}

TEST(ImageHelper, TruncatesToWholePointsBeforeScalingAndStartsTransparent) {
    CGRect handed;
    const auto image =
        drawn({10.7, 5.2}, 2, [&](const CGRect& rect, ImageDrawingContext&) { handed = rect; });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (CGSize{10.7, 5.2}));
    EXPECT_EQ(pixels(*image).size(), QSize(20, 10));
    EXPECT_EQ(image->firstBitmap(), &pixels(*image));
    EXPECT_EQ(handed, (CGRect{{0, 0}, {10.7, 5.2}}));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(pixel(*image, x, y).alpha(), 0) << x << "," << y;
        }
    }
}

TEST(ImageHelper, DrawsInPointsFromTheLowerLeftCorner) {
    // One point square at the origin: the lower-left pixels, 2 × 2 of them at scale 2.
    for (const int scale : {1, 2}) {
        const auto image = drawn({4, 3}, scale, [](const CGRect&, ImageDrawingContext& context) {
            context.fill({{0, 0}, {1, 1}}, kRed);
        });
        ASSERT_TRUE(image);
        const int bottomRow = 3 * scale - 1;
        EXPECT_TRUE(isOpaque(pixel(*image, 0, bottomRow), kRed)) << scale;
        EXPECT_TRUE(isOpaque(pixel(*image, scale - 1, bottomRow - scale + 1), kRed)) << scale;
        EXPECT_EQ(pixel(*image, scale, bottomRow).alpha(), 0) << scale;
        EXPECT_EQ(pixel(*image, 0, bottomRow - scale).alpha(), 0) << scale;
        EXPECT_EQ(pixel(*image, 0, 0).alpha(), 0) << scale;
    }
}

TEST(ImageHelper, RefusesSizesAndScalesWithoutPixelsBeforeDrawing) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    struct Case {
        CGSize size;
        int scale;
    };
    const Case cases[] = {
        {{kNaN, 10}, 1},
        {{10, kInfinity}, 1},
        {{-kInfinity, 10}, 1},
        {{0, 10}, 1},
        {{10, -4}, 1},
        {{0.9, 10}, 3},
        {{10, 10}, 0},
        {{10, 10}, -2},
        {{1e300, 1e300}, 1},
        {{40000, 1}, 1},
        {{20000, 1}, 2},
        {{20000, 20000}, 1},
        {{1e9, 1e9}, std::numeric_limits<int>::max()},
    };
    for (const Case& test : cases) {
        bool called = false;
        EXPECT_FALSE(drawn(test.size, test.scale,
                           [&](const CGRect&, ImageDrawingContext&) { called = true; }))
            << test.size.width << " x " << test.size.height << " @" << test.scale;
        EXPECT_FALSE(called);
    }
}

// A 100 × 200 image, red above and blue below.
const LxImage& redOverBlue() {
    static const LxImage image = halves(100, 200, kRed, kBlue);
    return image;
}

std::optional<LxImage> thumbnail(const LxImage& image, CGSize size, EdgeInsets margins,
                                 std::optional<double> radius, ImageScalingFit fit) {
    return lx::makingThumbnail(image, size, margins, radius, fit, false);
}

TEST(Thumbnail, FillKeepsTheTopOfATallImageAndFitCentresIt) {
    const auto filled =
        thumbnail(redOverBlue(), {100, 100}, {}, std::nullopt, ImageScalingFit::fill);
    ASSERT_TRUE(filled);
    EXPECT_EQ(pixels(*filled).size(), QSize(100, 100));
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{0, 0}, {99, 0}, {50, 50}, {0, 99}, {99, 99}}) {
        EXPECT_TRUE(isOpaque(pixel(*filled, x, y), kRed)) << x << "," << y;
    }

    const auto fitted =
        thumbnail(redOverBlue(), {100, 100}, {}, std::nullopt, ImageScalingFit::fit);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(pixel(*fitted, 10, 50).alpha(), 0);
    EXPECT_EQ(pixel(*fitted, 90, 50).alpha(), 0);
    EXPECT_TRUE(isOpaque(pixel(*fitted, 50, 10), kRed));
    EXPECT_TRUE(isOpaque(pixel(*fitted, 50, 90), kBlue));
}

TEST(Thumbnail, EachMarginLeavesItsBandOnItsOwnEdge) {
    const auto image = thumbnail(LxImage(solid(10, 10, kRed)), {100, 100},
                                 {.top = 20, .leading = 30, .bottom = 0, .trailing = 0},
                                 std::nullopt, ImageScalingFit::stretch);
    ASSERT_TRUE(image);
    EXPECT_EQ(pixel(*image, 50, 19).alpha(), 0);  // top band
    EXPECT_EQ(pixel(*image, 29, 50).alpha(), 0);  // left band
    EXPECT_TRUE(isOpaque(pixel(*image, 30, 20), kRed));
    EXPECT_TRUE(isOpaque(pixel(*image, 99, 99), kRed));
}

TEST(Thumbnail, RoundedCornersAreTransparentAndTheMiddleOpaque) {
    const auto image = thumbnail(LxImage(solid(50, 50, kBlue)), {100, 100},
                                 {.top = 10, .leading = 10, .bottom = 10, .trailing = 10}, 60.0,
                                 ImageScalingFit::fill);
    ASSERT_TRUE(image);
    // Corners of 40 × 40: the corner of the target rectangle lies outside its rounding.
    EXPECT_EQ(pixel(*image, 10, 10).alpha(), 0);
    EXPECT_EQ(pixel(*image, 89, 89).alpha(), 0);
    EXPECT_EQ(pixel(*image, 5, 50).alpha(), 0);
    EXPECT_TRUE(isOpaque(pixel(*image, 50, 50), kBlue));
    EXPECT_TRUE(isOpaque(pixel(*image, 50, 11), kBlue));
}

TEST(Thumbnail, MarginsThatMeetGiveATransparentThumbnailAndNoAreaGivesNone) {
    for (const EdgeInsets& margins :
         {EdgeInsets{.top = 50, .bottom = 50}, EdgeInsets{.leading = 70, .trailing = 40}}) {
        const auto image =
            thumbnail(redOverBlue(), {100, 100}, margins, 10.0, ImageScalingFit::fill);
        ASSERT_TRUE(image);
        EXPECT_EQ(pixels(*image).size(), QSize(100, 100));
        EXPECT_EQ(pixels(*image), solid(100, 100, Qt::transparent));
    }
    EXPECT_FALSE(thumbnail(redOverBlue(), {0, 100}, {}, std::nullopt, ImageScalingFit::fit));
    // An image without pixels draws nothing into a thumbnail that still exists.
    const auto ofNothing = thumbnail(LxImage(), {10, 10}, {}, std::nullopt, ImageScalingFit::fit);
    ASSERT_TRUE(ofNothing);
    EXPECT_EQ(pixels(*ofNothing), solid(10, 10, Qt::transparent));
}

TEST(Clipped, CutsTheRectangleCountedFromTheLowerLeftCorner) {
    const LxImage image = halves(100, 100, kRed, kBlue);
    const auto bottom = lx::clipped(image, {{0, 0}, {100, 50}}, 1);
    ASSERT_TRUE(bottom);
    EXPECT_EQ(pixels(*bottom).size(), QSize(100, 50));
    EXPECT_TRUE(isOpaque(pixel(*bottom, 0, 0), kBlue));
    EXPECT_TRUE(isOpaque(pixel(*bottom, 99, 49), kBlue));

    const auto straddling = lx::clipped(image, {{10, 40}, {20, 20}}, 2);
    ASSERT_TRUE(straddling);
    EXPECT_EQ(straddling->size(), (CGSize{20, 20}));
    EXPECT_EQ(pixels(*straddling).size(), QSize(40, 40));
    EXPECT_TRUE(isOpaque(pixel(*straddling, 0, 0), kRed));
    EXPECT_TRUE(isOpaque(pixel(*straddling, 39, 39), kBlue));

    // Only the size is checked against the image: the part past the right edge is empty.
    const auto pastTheEdge = lx::clipped(image, {{50, 0}, {60, 40}}, 1);
    ASSERT_TRUE(pastTheEdge);
    EXPECT_EQ(pixels(*pastTheEdge).size(), QSize(60, 40));
    EXPECT_TRUE(isOpaque(pixel(*pastTheEdge, 49, 20), kBlue));
    EXPECT_EQ(pixel(*pastTheEdge, 50, 20).alpha(), 0);
    EXPECT_EQ(pixel(*pastTheEdge, 59, 20).alpha(), 0);
}

TEST(Clipped, RefusesRectanglesOutsideOrLargerThanTheImage) {
    const LxImage image(solid(100, 80, kRed));
    for (const CGRect& rect :
         {CGRect{{-1, 0}, {10, 10}}, CGRect{{0, -0.5}, {10, 10}}, CGRect{{0, 0}, {101, 10}},
          CGRect{{0, 0}, {10, 81}}, CGRect{{0, 0}, {0, 10}}, CGRect{{0, 0}, {10, -3}}}) {
        EXPECT_FALSE(lx::clipped(image, rect, 1)) << rect.origin.x << "," << rect.origin.y;
    }
    EXPECT_FALSE(lx::clipped(image, {{0, 0}, {10, 10}}, 0));
}

}  // namespace
