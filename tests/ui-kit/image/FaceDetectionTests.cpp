// The real detector on a real portrait: the committed fixture, the same portrait twice side by
// side, and pictures without faces. The detector's exact rectangles vary between OpenCV
// versions, so positions and sizes are checked within bounds.
#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "ui-kit/image/FaceDetection.h"
#include "ui-kit/image/ImageEncoding.h"
#include "ui-kit/image/ImageProcessing.h"

namespace {

using image_test::pixel;
using image_test::pixels;
using image_test::solid;
using platform::CGRect;
using platform::CGSize;

// The portrait is 256 × 300 pixels; its face is centred near (135, 190) counted from the
// lower-left corner, about 113 pixels square.
constexpr double kFaceX = 135;
constexpr double kFaceY = 190;
constexpr double kTolerance = 15;
const QColor kGreen(0, 255, 0);

const QImage& portrait() {
    static const QImage image =
        lx::imageWithContentsOfFile(ORBIN_FIXTURES_DIR "/portrait.jpg").value_or(QImage());
    return image;
}

// The portrait drawn into a picture of `size` filled with `background`, at `x` from the left.
QImage withPortraitAt(QSize size, int x, const QColor& background) {
    QImage picture = solid(size.width(), size.height(), background);
    QPainter(&picture).drawImage(x, 0, portrait());
    return picture;
}

void expectFaceNear(const CGRect& face, double x, double y) {
    EXPECT_NEAR(face.origin.x + face.size.width / 2, x, kTolerance);
    EXPECT_NEAR(face.origin.y + face.size.height / 2, y, kTolerance);
    // The fast (LBP) cascade frames a face more tightly than the Haar cascade, to about 2/3 of it.
    EXPECT_GE(face.size.width, 70);
    EXPECT_LE(face.size.width, 150);
}

class FaceDetection : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(portrait().size(), QSize(256, 300)); }
};

TEST_F(FaceDetection, FindsThePortraitsFaceWithEitherAccuracy) {
    for (const bool accurate : {true, false}) {
        const auto faces = lx::detectFaces(LxImage(portrait()), accurate);
        ASSERT_TRUE(faces) << accurate;
        ASSERT_EQ(faces->faceRects.size(), 1u) << accurate;
        expectFaceNear(faces->faceRects[0], kFaceX, kFaceY);
        EXPECT_EQ(faces->inRect, faces->faceRects[0]);
        EXPECT_EQ(faces->imageDimentions, (CGSize{256, 300}));
    }
}

TEST_F(FaceDetection, FindsBothFacesOfThePortraitDrawnTwiceAndTheirUnion) {
    QImage twice = withPortraitAt({512, 300}, 0, Qt::white);
    QPainter(&twice).drawImage(256, 0, portrait());
    const auto faces = lx::detectFaces(LxImage(twice), true);
    ASSERT_TRUE(faces);
    ASSERT_EQ(faces->faceRects.size(), 2u);
    // In the detector's order, whichever that is.
    auto sorted = faces->faceRects;
    std::sort(sorted.begin(), sorted.end(),
              [](const CGRect& a, const CGRect& b) { return a.origin.x < b.origin.x; });
    expectFaceNear(sorted[0], kFaceX, kFaceY);
    expectFaceNear(sorted[1], 256 + kFaceX, kFaceY);
    const CGRect& all = faces->inRect;
    for (const CGRect& face : sorted) {
        EXPECT_LE(all.origin.x, face.origin.x);
        EXPECT_LE(all.origin.y, face.origin.y);
        EXPECT_GE(all.origin.x + all.size.width, face.origin.x + face.size.width);
        EXPECT_GE(all.origin.y + all.size.height, face.origin.y + face.size.height);
    }
    EXPECT_EQ(all.origin.x, sorted[0].origin.x);
    EXPECT_EQ(all.origin.x + all.size.width, sorted[1].origin.x + sorted[1].size.width);
}

TEST_F(FaceDetection, FindsTheSameFacesOnSeveralThreadsAtOnce) {
    const LxImage image(portrait());
    const auto expected = lx::detectFaces(image, true);
    ASSERT_TRUE(expected);
    std::vector<std::optional<lx::FaceDetection>> found(4);
    std::vector<std::thread> threads;
    for (auto& result : found) {
        threads.emplace_back([&image, &result] { result = lx::detectFaces(image, true); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const auto& result : found) {
        EXPECT_EQ(result, expected);
    }
}

TEST_F(FaceDetection, FindsAFaceInALargePhotoInItsOwnPixels) {
    // Searched in a copy scaled down to 1024 pixels; the rectangle comes back in the photo's.
    const QImage large =
        portrait().scaled(1536, 1800, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto faces = lx::detectFaces(LxImage(large), true);
    ASSERT_TRUE(faces);
    EXPECT_EQ(faces->imageDimentions, (CGSize{1536, 1800}));
    ASSERT_GE(faces->faceRects.size(), 1u);
    const CGRect& face = faces->inRect;
    EXPECT_NEAR(face.origin.x + face.size.width / 2, 6 * kFaceX, 6 * kTolerance);
    EXPECT_NEAR(face.origin.y + face.size.height / 2, 6 * kFaceY, 6 * kTolerance);
}

TEST_F(FaceDetection, ChecksTheFacesPixelsAgainstTheImagesPoints) {
    // At two pixels a point the face (about 113 pixels) fits the 128 points; at four it is
    // wider than the image's 64 points and the faces are passed over.
    const auto atTwo = lx::detectFaces(LxImage({128, 150}, {{portrait()}}), true);
    ASSERT_TRUE(atTwo);
    expectFaceNear(atTwo->inRect, kFaceX, kFaceY);
    EXPECT_FALSE(lx::detectFaces(LxImage({64, 75}, {{portrait()}}), true));
}

TEST_F(FaceDetection, FindsNothingWithoutAFace) {
    QImage gradient(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < gradient.height(); ++y) {
        for (int x = 0; x < gradient.width(); ++x) {
            gradient.setPixelColor(x, y, QColor(x * 255 / 400, y * 255 / 300, 128));
        }
    }
    EXPECT_FALSE(lx::detectFaces(LxImage(solid(400, 300, QColor(128, 128, 128))), true));
    EXPECT_FALSE(lx::detectFaces(LxImage(gradient), true));
    EXPECT_FALSE(lx::detectFaces(LxImage(solid(400, 300, Qt::white)), false));
    EXPECT_FALSE(lx::detectFaces(LxImage(), true));
}

TEST_F(FaceDetection, ThumbnailWithFacesIsCutAroundTheFace) {
    // The portrait at the right of a green picture: the plain thumbnail, filled from the left,
    // shows only green; the one centred on the face shows none.
    const LxImage picture(withPortraitAt({768, 300}, 512, kGreen));
    const auto plain =
        lx::makingThumbnail(picture, {100, 100}, {}, std::nullopt, ImageScalingFit::fill, false);
    const auto withFaces =
        lx::makingThumbnail(picture, {100, 100}, {}, std::nullopt, ImageScalingFit::fill, true);
    ASSERT_TRUE(plain);
    ASSERT_TRUE(withFaces);
    EXPECT_EQ(pixels(*withFaces).size(), QSize(100, 100));
    int green = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            EXPECT_EQ(pixel(*plain, x, y).rgb(), kGreen.rgb());
            green += pixel(*withFaces, x, y).rgb() == kGreen.rgb() ? 1 : 0;
            ASSERT_EQ(pixel(*withFaces, x, y).alpha(), 255) << x << "," << y;
        }
    }
    EXPECT_EQ(green, 0);
}

TEST_F(FaceDetection, ThumbnailWithoutFacesIsThePlainThumbnailByTheCallersFit) {
    const LxImage blank(solid(300, 100, QColor(90, 120, 150)));
    for (const ImageScalingFit fit : {ImageScalingFit::fit, ImageScalingFit::stretch}) {
        const auto plain = lx::makingThumbnail(blank, {80, 80}, {.top = 4}, 12.0, fit, false);
        const auto withFaces = lx::makingThumbnail(blank, {80, 80}, {.top = 4}, 12.0, fit, true);
        ASSERT_TRUE(plain);
        ASSERT_TRUE(withFaces);
        EXPECT_EQ(pixels(*withFaces), pixels(*plain));
    }
}

}  // namespace
