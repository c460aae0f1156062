#include "ui-kit/image/FaceDetection.h"

#include <algorithm>
#include <exception>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <vector>

namespace lx {

namespace {

struct Cascade {
    const char* path;
    // Every photo is searched in a grey copy of this long side, scaled down or up: the cascade
    // then sees a face of a given share of the photo at one size in pixels, whatever the
    // photo's own size, and a neighbour threshold tuned once holds at every size.
    int searchedLongSide;
    double scaleFactor;
    int minNeighbors;
};

// The cascade files come with OpenCV's data package; the build checks that they are there.
// Measured on real photos from 256 to 4000 pixels (tests/ui-kit/image/FaceDetectionPhotoTests.cpp):
// the accurate search takes every place where the Haar cascade gathers more than 2 neighbours
// as a candidate, which keeps faces down to about 2.5 % of the long side (a 24-pixel face in the
// 960-pixel copy), and each candidate is then confirmed by a second cascade (kConfirming). The
// candidates alone would not do: textures of flowers, fruit and walls gather up to 18
// neighbours, more than a small face does.
constexpr Cascade kAccurate{ORBIN_FACE_CASCADE_ACCURATE, 960, 1.1, 2};
constexpr Cascade kFast{ORBIN_FACE_CASCADE_FAST, 640, 1.2, 3};

// The confirming cascade, trained apart from the accurate one, looks again at each candidate's
// region (grown by 30 % on every side) in a copy where the candidate is 48 pixels wide, and
// counts its own windows there of 0.6 to 1.5 times the candidate's size, before any grouping.
// On the photo table a face gives at least 35 of them and every other candidate at most 11.
constexpr const char* kConfirmingPath = ORBIN_FACE_CASCADE_CONFIRMING;
constexpr int kConfirmedWidth = 48;
constexpr double kConfirmedMargin = 0.3;
constexpr double kConfirmingScaleFactor = 1.05;
constexpr std::size_t kConfirmingWindows = 20;

enum class Classifier { Accurate, Confirming, Fast };

// A classifier is not safe to use from two threads at once, and loading one parses about a
// megabyte of XML; so each thread loads each cascade once. A file that does not load stays
// unloaded for the thread, and the thread finds no faces.
cv::CascadeClassifier* classifier(Classifier which) {
    struct Loaded {
        cv::CascadeClassifier classifier;
        bool tried = false;
    };
    thread_local Loaded loadedOnes[3];
    Loaded& loaded = loadedOnes[static_cast<int>(which)];
    if (!loaded.tried) {
        loaded.tried = true;
        const char* path = which == Classifier::Accurate     ? kAccurate.path
                           : which == Classifier::Confirming ? kConfirmingPath
                                                             : kFast.path;
        try {
            loaded.classifier.load(path);
        } catch (const cv::Exception&) {
            // An unreadable file reads as no detector.
        }
    }
    return loaded.classifier.empty() ? nullptr : &loaded.classifier;
}

// `image` scaled by `factor`: down by area, up linearly.
cv::Mat scaledBy(const cv::Mat& image, double factor) {
    cv::Mat scaled;
    cv::resize(image, scaled, cv::Size(), factor, factor,
               factor < 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
    return scaled;
}

// Whether the confirming cascade sees a face where `candidate` (in `grey`'s pixels) is.
bool confirmed(cv::CascadeClassifier& confirming, const cv::Mat& grey, const cv::Rect& candidate) {
    const int margin = int(candidate.width * kConfirmedMargin);
    const cv::Rect region = cv::Rect(candidate.x - margin, candidate.y - margin,
                                     candidate.width + 2 * margin, candidate.height + 2 * margin) &
                            cv::Rect(0, 0, grey.cols, grey.rows);
    if (candidate.empty() || region.empty()) {
        return false;
    }
    const cv::Mat searched = scaledBy(grey(region), double(kConfirmedWidth) / candidate.width);
    std::vector<cv::Rect> windows;
    confirming.detectMultiScale(searched, windows, kConfirmingScaleFactor, 0, 0,
                                cv::Size(kConfirmedWidth * 6 / 10, kConfirmedWidth * 6 / 10),
                                cv::Size(kConfirmedWidth * 3 / 2, kConfirmedWidth * 3 / 2));
    return windows.size() >= kConfirmingWindows;
}

CGRect unionOf(const CGRect& a, const CGRect& b) {
    const CGFloat minX = std::min(a.origin.x, b.origin.x);
    const CGFloat minY = std::min(a.origin.y, b.origin.y);
    const CGFloat maxX = std::max(a.origin.x + a.size.width, b.origin.x + b.size.width);
    const CGFloat maxY = std::max(a.origin.y + a.size.height, b.origin.y + b.size.height);
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

// The bitmap's faces in its pixels, counted from the top-left corner. Not equalised: stretching
// the whole picture's histogram made the cascade miss a face on a plain background and see
// faces in the textures of large photos.
std::vector<cv::Rect> faceRows(const QImage& bitmap, bool accurate) {
    const Cascade& cascade = accurate ? kAccurate : kFast;
    cv::CascadeClassifier* detector =
        classifier(accurate ? Classifier::Accurate : Classifier::Fast);
    cv::CascadeClassifier* confirming = accurate ? classifier(Classifier::Confirming) : nullptr;
    if (detector == nullptr || (accurate && confirming == nullptr)) {
        return {};
    }
    const QImage greyImage = bitmap.convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat grey(greyImage.height(), greyImage.width(), CV_8UC1,
                       const_cast<uchar*>(greyImage.constBits()),
                       static_cast<std::size_t>(greyImage.bytesPerLine()));
    const double factor = double(cascade.searchedLongSide) / std::max(grey.cols, grey.rows);
    std::vector<cv::Rect> found;
    detector->detectMultiScale(scaledBy(grey, factor), found, cascade.scaleFactor,
                               cascade.minNeighbors, 0, cv::Size(24, 24));
    std::vector<cv::Rect> faces;
    for (const cv::Rect& face : found) {
        const cv::Rect rows(int(face.x / factor), int(face.y / factor), int(face.width / factor),
                            int(face.height / factor));
        if (confirming == nullptr || confirmed(*confirming, grey, rows)) {
            faces.push_back(rows);
        }
    }
    return faces;
}

std::vector<CGRect> faceRects(const QImage& bitmap, bool accurate) {
    std::vector<CGRect> faces;
    for (const cv::Rect& face : faceRows(bitmap, accurate)) {
        const CGRect rows{{double(face.x), double(face.y)},
                          {double(face.width), double(face.height)}};
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
