// A face-centred 200 × 200 thumbnail of a 4000 × 3000 photo, beside its floors in the same run:
// OpenCV alone finding the faces in the photo scaled down to 1024 pixels (grey, equalised,
// the same cascade), and the plain thumbnail without faces. The goal: the face-centred
// thumbnail within 1.5x the sum of its floors, and well under half a second.
//
// For the record, the detector on the whole photo, unscaled: what the thumbnail would cost
// without the scaled-down copy.
#include <algorithm>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

#include "ui-kit/image/ImageEncoding.h"
#include "ui-kit/image/ImageProcessing.h"

namespace {

// A noisy gradient, as a camera's sky and wall, with the test portrait large in the right half.
const LxImage& photo() {
    static const LxImage made = [] {
        QImage picture(4000, 3000, QImage::Format_RGB32);
        QRandomGenerator random(42);
        for (int y = 0; y < picture.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                const int noise = static_cast<int>(random.bounded(24));
                row[x] = qRgb(60 + x / 40 + noise, 90 + y / 40 + noise, 140 + noise);
            }
        }
        const auto portrait = lx::imageWithContentsOfFile(ORBIN_FIXTURES_DIR "/portrait.jpg");
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(2300, 800, 1280, 1500), portrait.value_or(QImage()));
        painter.end();
        return LxImage(picture);
    }();
    return made;
}

cv::CascadeClassifier& cascade() {
    static cv::CascadeClassifier loaded(ORBIN_FACE_CASCADE_ACCURATE);
    return loaded;
}

std::vector<cv::Rect> detect(const QImage& bitmap, int longestSide) {
    const QImage grey = bitmap.convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat view(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                       static_cast<std::size_t>(grey.bytesPerLine()));
    const double factor =
        std::min(1.0, double(longestSide) / std::max(grey.width(), grey.height()));
    cv::Mat searched;
    cv::resize(view, searched, cv::Size(), factor, factor, cv::INTER_AREA);
    cv::equalizeHist(searched, searched);
    std::vector<cv::Rect> faces;
    cascade().detectMultiScale(searched, faces, 1.1, 3, 0, cv::Size(24, 24));
    return faces;
}

void BM_FaceCentredThumbnail(benchmark::State& state) {
    const LxImage& image = photo();
    for (auto _ : state) {
        auto thumbnail =
            lx::makingThumbnail(image, {200, 200}, {}, 12.0, ImageScalingFit::fill, true);
        benchmark::DoNotOptimize(thumbnail);
    }
}

void BM_FaceCentredThumbnailFloorDetect(benchmark::State& state) {
    const QImage& bitmap = photo().representations().front().pixels;
    for (auto _ : state) {
        auto faces = detect(bitmap, 1024);
        benchmark::DoNotOptimize(faces);
    }
}

void BM_FaceCentredThumbnailFloorPlain(benchmark::State& state) {
    const LxImage& image = photo();
    for (auto _ : state) {
        auto thumbnail =
            lx::makingThumbnail(image, {200, 200}, {}, 12.0, ImageScalingFit::fill, false);
        benchmark::DoNotOptimize(thumbnail);
    }
}

void BM_DetectorOnTheWholePhoto(benchmark::State& state) {
    const QImage& bitmap = photo().representations().front().pixels;
    for (auto _ : state) {
        auto faces = detect(bitmap, 4000);
        benchmark::DoNotOptimize(faces);
    }
}

}  // namespace

BENCHMARK(BM_FaceCentredThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FaceCentredThumbnailFloorDetect)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FaceCentredThumbnailFloorPlain)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DetectorOnTheWholePhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
