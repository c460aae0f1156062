#include "ui-kit/image/ImageGeometry.h"

#include <algorithm>
#include <cmath>

#include "utility/GeometryExtensions.h"

namespace lx {

namespace {

bool hasFiniteArea(const CGSize& size) {
    return std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 &&
           size.height > 0;
}

bool isFinite(const CGRect& rect) {
    return std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) &&
           std::isfinite(rect.size.width) && std::isfinite(rect.size.height);
}

}  // namespace

CGRect flippedVertically(const CGRect& rect, CGFloat height) {
    return {{rect.origin.x, height - rect.origin.y - rect.size.height}, rect.size};
}

std::optional<CGRect> fitRect(const CGSize& imageSize, const CGRect& rect, ImageScalingFit fit) {
    if (!hasFiniteArea(imageSize) || !hasFiniteArea(rect.size) || !isFinite(rect)) {
        return std::nullopt;
    }
    const CGFloat sx = imageSize.width / rect.size.width;
    const CGFloat sy = imageSize.height / rect.size.height;
    if (sx == sy) {
        return rect;
    }
    switch (fit.value()) {
        case ImageScalingFit::stretch:
            return rect;
        case ImageScalingFit::fit: {
            const CGFloat s = std::max(sx, sy);
            return rectCenterAt(center(rect), {imageSize.width / s, imageSize.height / s});
        }
        case ImageScalingFit::fill:
            if (sy > sx) {
                const CGFloat height = rect.size.height * sy / sx;
                return CGRect{{rect.origin.x, rect.origin.y - (height - rect.size.height)},
                              {rect.size.width, height}};
            }
            // Growing the width by the rectangle's own width keeps the image's proportions
            // whatever the rectangle's shape; growing it from the height would only for squares.
            return CGRect{rect.origin, {rect.size.width * sx / sy, rect.size.height}};
    }
    return rect;
}

CGSize cornerSize(const CGSize& rectSize, CGFloat radius) {
    return {std::min(rectSize.width * 0.5, radius), std::min(rectSize.height * 0.5, radius)};
}

CGRect thumbnailTargetRect(const CGSize& size, const platform::EdgeInsets& margins) {
    // With y upwards the rectangle starts above the bottom margin, so that each margin's empty
    // band lies on its own edge.
    return {{margins.leading, margins.bottom},
            {size.width - margins.leading - margins.trailing,
             size.height - margins.top - margins.bottom}};
}

std::optional<CGRect> faceCrop(const FaceDetection& faces, const CGSize& thumbnailSize,
                               const CGSize& imageSize) {
    const CGPoint faceCenter = center(faces.inRect);
    const CGFloat pixelsWide = faces.imageDimentions.width;
    const CGFloat pixelsHigh = faces.imageDimentions.height;
    const CGFloat maxWidth = 2 * std::min(faceCenter.x, pixelsWide - faceCenter.x);
    const CGFloat maxHeight = 2 * std::min(faceCenter.y, pixelsHigh - faceCenter.y);
    const CGFloat ratio = thumbnailSize.width / thumbnailSize.height;
    const CGSize cropSize =
        maxWidth / maxHeight > ratio
            ? CGSize{maxHeight * thumbnailSize.width / thumbnailSize.height, maxHeight}
            : CGSize{maxWidth, maxWidth * thumbnailSize.height / thumbnailSize.width};
    const CGRect crop = scaled(rectCenterAt(faceCenter, cropSize), imageSize.width / pixelsWide);
    // Written so that NaN fails every comparison.
    if (!(crop.origin.x >= 0 && crop.origin.y >= 0 && crop.size.width > 0 && crop.size.height > 0 &&
          crop.size.width <= imageSize.width && crop.size.height <= imageSize.height)) {
        return std::nullopt;
    }
    return crop;
}

CGPoint pointAtCenterOf(const CGSize& imageSize, const CGRect& rect) {
    return {std::ceil((rect.size.width - imageSize.width) * 0.5 + rect.origin.x),
            std::ceil((rect.size.height - imageSize.height) * 0.5 + rect.origin.y)};
}

}  // namespace lx
