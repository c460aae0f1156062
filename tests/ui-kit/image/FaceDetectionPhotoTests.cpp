// The real detector on real photographs (tests/fixtures/README.md), each scaled to sizes from a
// small thumbnail to a camera's by two different scalers: a photo with one frontal face gives
// that face alone, centred on it, and a photo without a face gives none.
#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "ui-kit/image/FaceDetection.h"
#include "ui-kit/image/ImageEncoding.h"

namespace {

// A face's centre and size in its photo's pixels, counted from the top-left corner, as marked
// by hand on the photo.
struct Face {
    double x;
    double y;
    double size;
};

struct Photo {
    std::string name;
    QImage image;
    std::optional<Face> face;
};

QImage fixture(const char* name) {
    const QImage image =
        lx::imageWithContentsOfFile(std::string(ORBIN_FIXTURES_DIR "/") + name).value_or(QImage());
    EXPECT_FALSE(image.isNull()) << name;
    return image.convertToFormat(QImage::Format_RGB32);
}

// `photo` drawn over `background` at `place`, scaled to its size.
QImage drawnInto(QImage background, const QImage& photo, const QRect& place) {
    QPainter painter(&background);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(place, photo);
    return background;
}

const std::vector<Photo>& photos() {
    static const std::vector<Photo> all = [] {
        const QImage portrait = fixture("portrait.jpg");
        const QImage astronaut = fixture("astronaut.jpg");
        const Face portraitFace{132.5, 108.5, 114};
        const Face astronautFace{224, 114, 97};
        // The astronaut at 320 of her 512 pixels, in the corner of a landscape.
        const double shrunk = 320.0 / 512;
        return std::vector<Photo>{
            {"portrait", portrait, portraitFace},
            {"astronaut", astronaut, astronautFace},
            {"portrait before a rocket",
             drawnInto(fixture("rocket.jpg"), portrait, {200, 10, 256, 300}),
             Face{200 + portraitFace.x, 10 + portraitFace.y, portraitFace.size}},
            {"astronaut in a town", drawnInto(fixture("china.jpg"), astronaut, {0, 0, 320, 320}),
             Face{astronautFace.x * shrunk, astronautFace.y * shrunk, astronautFace.size * shrunk}},
            {"coffee", fixture("coffee.jpg"), std::nullopt},
            {"cat", fixture("cat.jpg"), std::nullopt},
            {"rocket", fixture("rocket.jpg"), std::nullopt},
            {"town", fixture("china.jpg"), std::nullopt},
            {"castle", fixture("castle.jpg"), std::nullopt},
            {"citrus fruit", fixture("citrus.jpg"), std::nullopt},
            {"honey bee on a flower", fixture("honey-bee.jpg"), std::nullopt},
            {"chameleon", fixture("chameleon.jpg"), std::nullopt},
        };
    }();
    return all;
}

QSize withLongSide(const QSize& size, int longSide) {
    return size.scaled(longSide, longSide, Qt::KeepAspectRatio);
}

QImage scaledByQt(const QImage& image, int longSide) {
    return image.scaled(withLongSide(image.size(), longSide), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

QImage scaledByOpenCv(const QImage& image, int longSide) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const cv::Mat source(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar*>(rgb.constBits()),
                         static_cast<std::size_t>(rgb.bytesPerLine()));
    const QSize size = withLongSide(image.size(), longSide);
    QImage scaled(size, QImage::Format_RGB888);
    cv::Mat target(scaled.height(), scaled.width(), CV_8UC3, scaled.bits(),
                   static_cast<std::size_t>(scaled.bytesPerLine()));
    cv::resize(source, target, target.size(), 0, 0, cv::INTER_AREA);
    return scaled;
}

struct Scaler {
    const char* name;
    QImage (*scale)(const QImage&, int);
};

// The face found in `image`, whose photo's face is `expected` scaled by `factor`: exactly one,
// its centre within a tenth of the face's size of the marked one.
void expectFace(const QImage& image, const std::optional<Face>& expected, double factor) {
    const auto found = lx::detectFaces(LxImage(image), true);
    if (!expected) {
        EXPECT_FALSE(found) << found->faceRects.size() << " faces in a photo without one";
        return;
    }
    ASSERT_TRUE(found) << "no face";
    ASSERT_EQ(found->faceRects.size(), 1u);
    // The rectangles count from the lower-left corner.
    const platform::CGRect& face = found->faceRects.front();
    const double x = face.origin.x + face.size.width / 2;
    const double y = image.height() - (face.origin.y + face.size.height / 2);
    const double size = expected->size * factor;
    EXPECT_LE(std::hypot(x - expected->x * factor, y - expected->y * factor), size / 10)
        << "found at " << x << "," << y << ", marked at " << expected->x * factor << ","
        << expected->y * factor;
}

// One case per photo, so that the photos are searched side by side.
class FaceDetectionOnPhotos : public testing::TestWithParam<std::size_t> {};

TEST_P(FaceDetectionOnPhotos, AtEverySizeByEitherScalerGivesItsOneFaceOrNone) {
    const Scaler scalers[] = {{"Qt smooth", scaledByQt}, {"OpenCV area", scaledByOpenCv}};
    const Photo& photo = photos().at(GetParam());
    for (const int longSide : {256, 1024, 2048, 4000}) {
        for (const Scaler& scaler : scalers) {
            SCOPED_TRACE(photo.name + " at " + std::to_string(longSide) + " px by " + scaler.name);
            const QImage scaled = scaler.scale(photo.image, longSide);
            expectFace(scaled, photo.face, double(scaled.width()) / photo.image.width());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachPhoto, FaceDetectionOnPhotos,
                         testing::Range<std::size_t>(0, photos().size()),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             std::string name = photos().at(info.param).name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

// The portrait unscaled in the middle of a grey square canvas whose side makes the face this
// share of it: the face is found alone, however small its share down to the smallest.
class FaceDetectionOnACanvas : public testing::TestWithParam<double> {};

TEST_P(FaceDetectionOnACanvas, APortraitUnscaledInALargeGreyCanvasGivesItsFace) {
    const Photo& portrait = photos().front();
    const Face& face = *portrait.face;
    const int side = int(std::lround(face.size / GetParam()));
    QImage canvas(side, side, QImage::Format_RGB32);
    canvas.fill(QColor(128, 128, 128));
    const QPoint at(side / 2, side * 7 / 20);
    QPainter(&canvas).drawImage(at, portrait.image);
    expectFace(canvas, Face{at.x() + face.x, at.y() + face.y, face.size}, 1);
}

INSTANTIATE_TEST_SUITE_P(FaceShares, FaceDetectionOnACanvas,
                         testing::Values(0.057, 0.048, 0.04, 0.035, 0.03, 0.025),
                         [](const testing::TestParamInfo<double>& info) {
                             return "FacePerMille" + std::to_string(std::lround(info.param * 1000));
                         });

}  // namespace
