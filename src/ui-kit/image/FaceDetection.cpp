#include "ui-kit/image/FaceDetection.h"

#include <algorithm>
#include <exception>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <vector>

namespace lx {

namespace {

// Every photo is searched in a copy of this long side, scaled down or up: the cascades then see
// a face of a given share of the photo at one size in pixels, whatever the photo's own size,
// and a neighbour threshold tuned once holds at every size. Measured on real photos from 256 to
// 4000 pixels (tests/ui-kit/image/FaceDetectionPhotoTests.cpp): at 1024 pixels small patches of
// texture in large photos pass as faces; at 512 the faces under 6 % of the long side gather too
// few neighbours to tell from them.
constexpr int kSearchedLongSide = 640;

struct Cascade {
    const char* path;
    double scaleFactor;
    int minNeighbors;
};

// The cascade files come with OpenCV's data package; the build checks that they are there.
// The Haar cascade's threshold of 7 neighbours keeps the faces of the photo table and drops the
// faces it sees in their backgrounds and in photos without faces, which gather at most 6.
constexpr Cascade kAccurate{ORBIN_FACE_CASCADE_ACCURATE, 1.1, 7};
constexpr Cascade kFast{ORBIN_FACE_CASCADE_FAST, 1.2, 3};

// A classifier is not safe to use from two threads at once, and loading one parses about a
// megabyte of XML; so each thread loads each cascade once. A file that does not load stays
// unloaded for the thread, and the thread finds no faces.
cv::CascadeClassifier* classifier(bool accurate) {
    struct Loaded {
        cv::CascadeClassifier classifier;
        bool tried = false;
    };
    thread_local Loaded accurateOne;
    thread_local Loaded fastOne;
    Loaded& loaded = accurate ? accurateOne : fastOne;
    if (!loaded.tried) {
        loaded.tried = true;
        try {
            loaded.classifier.load(accurate ? kAccurate.path : kFast.path);
        } catch (const cv::Exception&) {
            // An unreadable file reads as no detector.
        }
    }
    return loaded.classifier.empty() ? nullptr : &loaded.classifier;
}

// The bitmap in grey at the searched size; `factor` is its size over the bitmap's. Not
// equalised: stretching the whole picture's histogram made the cascade miss a face on a plain
// background and see faces in the textures of large photos.
cv::Mat searchedGrey(const QImage& bitmap, double& factor) {
    const QImage grey = bitmap.convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat view(grey.height(), grey.width(), CV_8UC1, const_cast<uchar*>(grey.constBits()),
                       static_cast<std::size_t>(grey.bytesPerLine()));
    const int longSide = std::max(grey.width(), grey.height());
    factor = double(kSearchedLongSide) / longSide;
    cv::Mat searched;
    cv::resize(view, searched, cv::Size(), factor, factor,
               factor < 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
    return searched;
}

CGRect unionOf(const CGRect& a, const CGRect& b) {
    const CGFloat minX = std::min(a.origin.x, b.origin.x);
    const CGFloat minY = std::min(a.origin.y, b.origin.y);
    const CGFloat maxX = std::max(a.origin.x + a.size.width, b.origin.x + b.size.width);
    const CGFloat maxY = std::max(a.origin.y + a.size.height, b.origin.y + b.size.height);
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

std::vector<CGRect> faceRects(const QImage& bitmap, bool accurate) {
    cv::CascadeClassifier* detector = classifier(accurate);
    const Cascade& cascade = accurate ? kAccurate : kFast;
    if (detector == nullptr) {
        return {};
    }
    double factor = 1;
    const cv::Mat searched = searchedGrey(bitmap, factor);
    std::vector<cv::Rect> found;
    detector->detectMultiScale(searched, found, cascade.scaleFactor, cascade.minNeighbors, 0,
                               cv::Size(24, 24));
    std::vector<CGRect> faces;
    faces.reserve(found.size());
    for (const cv::Rect& face : found) {
        const CGRect rows{{face.x / factor, face.y / factor},
                          {face.width / factor, face.height / factor}};
        faces.push_back(flippedVertically(rows, bitmap.height()));
    }
    return faces;
}

}  // namespace

std::optional<FaceDetection> detectFaces(const LxImage& image, bool accurate) {
    const auto bitmap = cgImage(image);
    if (!bitmap) {
        return std::nullopt;
    }
    std::vector<CGRect> faces;
    try {
        faces = faceRects(*bitmap, accurate);
    } catch (const std::exception&) {
        // OpenCV reports trouble (memory, a broken cascade) by exceptions; they mean no faces.
        return std::nullopt;
    }
    if (faces.empty()) {
        return std::nullopt;
    }
    CGRect faceUnion;
    for (const CGRect& face : faces) {
        const bool empty = faceUnion.size.width == 0 || faceUnion.size.height == 0;
        faceUnion = empty ? face : unionOf(faceUnion, face);
    }
    const CGSize& points = image.size();
    if (!(faceUnion.origin.x >= 0 && faceUnion.origin.y >= 0 && faceUnion.size.width > 0 &&
          faceUnion.size.height > 0 && faceUnion.size.width <= points.width &&
          faceUnion.size.height <= points.height)) {
        return std::nullopt;
    }
    return FaceDetection{faceUnion, {double(bitmap->width()), double(bitmap->height())}, faces};
}

}  // namespace lx
