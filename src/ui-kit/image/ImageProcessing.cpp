#include "ui-kit/image/ImageProcessing.h"

#include "ui-kit/image/FaceDetection.h"
#include "ui-kit/image/ImageHelper.h"

namespace lx {

namespace {

std::optional<LxImage> thumbnail(const LxImage& image, const CGSize& size,
                                 const platform::EdgeInsets& margins, std::optional<CGFloat> radius,
                                 ImageScalingFit fit) {
    return ImageHelper::shared().image(size, 1, [&](const CGRect&, ImageDrawingContext& context) {
        const CGRect target = thumbnailTargetRect(size, margins);
        // Margins that meet leave nothing to draw into (and nothing to divide by).
        if (!(target.size.width > 0 && target.size.height > 0)) {
            return;
        }
        if (radius) {
            context.setAntialiasing(true);
            context.clipToRoundedRect(target, cornerSize(target.size, *radius));
        }
        if (const auto drawn = fitRect(image.size(), target, fit)) {
            context.draw(image, *drawn);
        }
    });
}

}  // namespace

std::optional<LxImage> makingThumbnail(const LxImage& image, const CGSize& size,
                                       const platform::EdgeInsets& insets,
                                       std::optional<CGFloat> radius, ImageScalingFit fit,
                                       bool faceDetect) {
    if (faceDetect) {
        if (const auto faces = detectFaces(image, true)) {
            if (const auto crop = faceCrop(*faces, size, image.size())) {
                if (const auto cutOut = clipped(image, *crop, 1)) {
                    // The cut-out already has the thumbnail's proportions.
                    return thumbnail(*cutOut, size, insets, radius, ImageScalingFit::stretch);
                }
            }
        }
    }
    return thumbnail(image, size, insets, radius, fit);
}

std::optional<LxImage> clipped(const LxImage& image, const CGRect& from, int scale) {
    if (!(from.origin.x >= 0 && from.origin.y >= 0 && from.size.width > 0 && from.size.height > 0 &&
          from.size.width <= image.size().width && from.size.height <= image.size().height)) {
        return std::nullopt;
    }
    return ImageHelper::shared().image(
        from.size, scale, [&](const CGRect&, ImageDrawingContext& context) {
            context.draw(image, CGPoint{0, 0}, from, CompositingOperation::copy, 1.0);
        });
}

}  // namespace lx
