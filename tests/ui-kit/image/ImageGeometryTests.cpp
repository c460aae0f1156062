#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <unordered_set>

#include <gtest/gtest.h>

#include "ui-kit/image/ImageGeometry.h"

namespace platform {
void PrintTo(const CGRect& rect, std::ostream* out) {
    *out << "(" << rect.origin.x << ", " << rect.origin.y << ", " << rect.size.width << ", "
         << rect.size.height << ")";
}
}  // namespace platform

namespace {

using lx::CGRect;
using lx::CGSize;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(ImageScalingFit, IsMadeFromTheRawValuesZeroToTwoOnly) {
    EXPECT_EQ(ImageScalingFit::fromRawValue(0), ImageScalingFit::stretch);
    EXPECT_EQ(ImageScalingFit::fromRawValue(1), ImageScalingFit::fill);
    EXPECT_EQ(ImageScalingFit::fromRawValue(2), ImageScalingFit::fit);
    EXPECT_EQ(ImageScalingFit::fromRawValue(3), std::nullopt);
    EXPECT_EQ(ImageScalingFit::fromRawValue(-1), std::nullopt);
    const std::unordered_set<ImageScalingFit> fits{ImageScalingFit::stretch, ImageScalingFit::fill,
                                                   ImageScalingFit::fit, ImageScalingFit::fill};
    EXPECT_EQ(fits.size(), 3u);
}

struct FitCase {
    const char* name;
    CGSize image;
    CGRect rect;
    ImageScalingFit fit;
    std::optional<CGRect> drawn;
};

TEST(FitRect, PlacesTheImageByEachRule) {
    const CGRect square{{0, 0}, {100, 100}};
    const CGRect wide{{10, 20}, {200, 100}};
    const FitCase cases[] = {
        {"fit wide image in square",
         {200, 100},
         square,
         ImageScalingFit::fit,
         CGRect{{0, 25}, {100, 50}}},
        {"fit tall image in square",
         {100, 200},
         square,
         ImageScalingFit::fit,
         CGRect{{25, 0}, {50, 100}}},
        {"fill tall image keeps the top edge",
         {100, 200},
         square,
         ImageScalingFit::fill,
         CGRect{{0, -100}, {100, 200}}},
        {"fill wide image keeps the left edge",
         {200, 100},
         square,
         ImageScalingFit::fill,
         CGRect{{0, 0}, {200, 100}}},
        // Not square: the width follows the rectangle's width, so the proportions hold.
        {"fill wider image in wide rect",
         {400, 100},
         wide,
         ImageScalingFit::fill,
         CGRect{{10, 20}, {400, 100}}},
        {"fill taller image in wide rect",
         {100, 100},
         wide,
         ImageScalingFit::fill,
         CGRect{{10, -80}, {200, 200}}},
        {"stretch", {300, 100}, square, ImageScalingFit::stretch, square},
        {"equal proportions, stretch", {50, 25}, wide, ImageScalingFit::stretch, wide},
        {"equal proportions, fill", {50, 25}, wide, ImageScalingFit::fill, wide},
        {"equal proportions, fit", {50, 25}, wide, ImageScalingFit::fit, wide},
        {"image without width", {0, 100}, square, ImageScalingFit::fill, std::nullopt},
        {"image without area", {0, 0}, square, ImageScalingFit::fit, std::nullopt},
        {"rect without height",
         {100, 100},
         CGRect{{0, 0}, {100, 0}},
         ImageScalingFit::stretch,
         std::nullopt},
        {"rect of negative width",
         {100, 100},
         CGRect{{0, 0}, {-5, 10}},
         ImageScalingFit::fit,
         std::nullopt},
        {"image of NaN size", {kNaN, 10}, square, ImageScalingFit::fit, std::nullopt},
        {"infinite rect",
         {100, 100},
         CGRect{{0, 0}, {kInfinity, 10}},
         ImageScalingFit::fill,
         std::nullopt},
    };
    for (const FitCase& test : cases) {
        EXPECT_EQ(lx::fitRect(test.image, test.rect, test.fit), test.drawn) << test.name;
    }
}

TEST(ThumbnailGeometry, TargetRectSitsInsideTheMarginsWithCornersCutToHalfASide) {
    EXPECT_EQ(lx::thumbnailTargetRect({100, 100},
                                      {.top = 10, .leading = 10, .bottom = 10, .trailing = 10}),
              (CGRect{{10, 10}, {80, 80}}));
    // y runs upwards: the bottom margin lifts the rectangle, the top margin shortens it.
    EXPECT_EQ(
        lx::thumbnailTargetRect({100, 60}, {.top = 20, .leading = 5, .bottom = 0, .trailing = 15}),
        (CGRect{{5, 0}, {80, 40}}));
    EXPECT_LE(lx::thumbnailTargetRect({100, 100}, {.top = 60, .bottom = 40}).size.height, 0);

    EXPECT_EQ(lx::cornerSize({80, 80}, 60), (CGSize{40, 40}));
    EXPECT_EQ(lx::cornerSize({100, 40}, 30), (CGSize{30, 20}));
    EXPECT_EQ(lx::cornerSize({100, 40}, 5), (CGSize{5, 5}));
}

TEST(FaceCrop, CentresTheThumbnailsProportionsOnTheFacesInsideTheImage) {
    // A 1000 × 800 pixel bitmap of a 500 × 400 point image.
    const auto faces = [](CGRect inRect) {
        return lx::FaceDetection{inRect, {1000, 800}, {inRect}};
    };
    EXPECT_EQ(lx::faceCrop(faces({{450, 350}, {100, 100}}), {100, 100}, {500, 400}),
              (CGRect{{50, 0}, {400, 400}}));
    // A thumbnail wider than the room takes the full width, its height following.
    EXPECT_EQ(lx::faceCrop(faces({{450, 350}, {100, 100}}), {200, 100}, {500, 400}),
              (CGRect{{0, 75}, {500, 250}}));
    // Near a side the room is narrower.
    EXPECT_EQ(lx::faceCrop(faces({{150, 350}, {100, 100}}), {100, 100}, {500, 400}),
              (CGRect{{0, 100}, {200, 200}}));
    // A face union touching an edge leaves no room on that side.
    EXPECT_EQ(lx::faceCrop(faces({{-50, 350}, {100, 100}}), {100, 100}, {500, 400}), std::nullopt);
    EXPECT_EQ(lx::faceCrop(faces({{450, 750}, {100, 100}}), {100, 100}, {500, 400}), std::nullopt);
    EXPECT_EQ(lx::faceCrop(lx::FaceDetection{{{1, 1}, {1, 1}}, {0, 0}, {}}, {100, 100}, {500, 400}),
              std::nullopt);
}

TEST(DrawingGeometry, CentredPointsRoundUpAndYFlipsWithinTheSurface) {
    EXPECT_EQ(lx::pointAtCenterOf({10, 10}, {{0, 0}, {25, 25}}), (lx::CGPoint{8, 8}));
    EXPECT_EQ(lx::pointAtCenterOf({10, 25}, {{0, 0}, {25, 10}}), (lx::CGPoint{8, -7}));
    EXPECT_EQ(lx::pointAtCenterOf({10, 10}, {{5, -3}, {10, 10}}), (lx::CGPoint{5, -3}));

    const CGRect lowerLeft{{0, 0}, {30, 10}};
    EXPECT_EQ(lx::flippedVertically(lowerLeft, 100), (CGRect{{0, 90}, {30, 10}}));
    EXPECT_EQ(lx::flippedVertically(lx::flippedVertically(lowerLeft, 100), 100), lowerLeft);
}

}  // namespace
