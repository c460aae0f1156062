#include "ui-kit/image/LxImage.h"

#include <utility>

LxImage::LxImage(const platform::CGSize& size, std::vector<Representation> representations)
    : size_(size), representations_(std::move(representations)) {}

LxImage::LxImage(const QImage& bitmap) {
    if (bitmap.isNull()) {
        return;
    }
    const double ratio = bitmap.devicePixelRatio();
    size_ = {bitmap.width() / ratio, bitmap.height() / ratio};
    representations_.push_back({bitmap, RepresentationKind::bitmap});
}

LxImage LxImage::convert(const QImage& ciImage) {
    // A filter result's extent is counted in pixels, and the image takes it as its size.
    return LxImage({static_cast<double>(ciImage.width()), static_cast<double>(ciImage.height())},
                   {{ciImage, RepresentationKind::nonBitmap}});
}

const QImage* LxImage::firstBitmap() const {
    if (representations_.empty() || representations_.front().kind != RepresentationKind::bitmap) {
        return nullptr;
    }
    return &representations_.front().pixels;
}

namespace lx {

platform::CGSize pixelSize(const LxImage& image) {
    if (image.representations().empty()) {
        return image.size();
    }
    const QImage& pixels = image.representations().front().pixels;
    return {static_cast<double>(pixels.width()), static_cast<double>(pixels.height())};
}

std::optional<QImage> cgImage(const LxImage& image) {
    if (image.representations().empty() || image.representations().front().pixels.isNull()) {
        return std::nullopt;
    }
    return image.representations().front().pixels;
}

std::optional<QImage> ciImage(const LxImage& image) {
    return cgImage(image);
}

}  // namespace lx
