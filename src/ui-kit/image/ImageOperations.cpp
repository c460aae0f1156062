#include "ui-kit/image/ImageOperations.h"

#include <cmath>
#include <utility>
#include <vector>

#include "ui-kit/image/ImageGeometry.h"

namespace lx {

namespace {

bool hasArea(const CGSize& size) {
    return size.width > 0 && size.height > 0;
}

// The image drawn into the whole surface of `size`, inside rounded corners when there is a
// radius.
std::optional<LxImage> redrawn(const LxImage& image, const CGSize& size,
                               std::optional<CGFloat> radius, int scale) {
    return ImageHelper::shared().image(
        size, scale, [&](const CGRect& rect, ImageDrawingContext& context) {
            if (radius) {
                context.setAntialiasing(true);
                context.clipToRoundedRect(rect, cornerSize(rect.size, *radius));
            }
            context.draw(image, rect);
        });
}

std::optional<LxImage> scaledBy(const LxImage& image, CGFloat factor, std::optional<CGFloat> radius,
                                int scale) {
    // An image without area gives an infinite or undefined factor.
    if (!hasArea(image.size()) || !std::isfinite(factor)) {
        return std::nullopt;
    }
    return redrawn(image, {image.size().width * factor, image.size().height * factor}, radius,
                   scale);
}

// Each pixel's grey, r = g = b, in an ARGB bitmap keeping the alpha (Qt's grey formats have
// none, and would turn transparent parts black).
QImage greyKeepingAlpha(const QImage& bitmap) {
    QImage grey = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < grey.height(); ++row) {
        auto* pixel = reinterpret_cast<QRgb*>(grey.scanLine(row));
        for (int column = 0; column < grey.width(); ++column) {
            const int level = qGray(pixel[column]);
            pixel[column] = qRgba(level, level, level, qAlpha(pixel[column]));
        }
    }
    return grey;
}

}  // namespace

std::optional<LxImage> cornerRounded(const LxImage& image, CGFloat radius, int scale) {
    return redrawn(image, image.size(), radius, scale);
}

std::optional<LxImage> stretched(const LxImage& image, const CGSize& to, int scale) {
    return redrawn(image, to, std::nullopt, scale);
}

std::optional<LxImage> resizing(const LxImage& image, const CGSize& targetSize,
                                std::optional<CGFloat> radius, int scale) {
    if (!hasArea(image.size())) {
        return std::nullopt;
    }
    const CGFloat factor =
        std::min(targetSize.width / image.size().width, targetSize.height / image.size().height);
    return scaledBy(image, factor, radius, scale);
}

std::optional<LxImage> resizingToWidth(const LxImage& image, CGFloat toWidth, int scale) {
    if (!hasArea(image.size())) {
        return std::nullopt;
    }
    return scaledBy(image, toWidth / image.size().width, std::nullopt, scale);
}

std::optional<LxImage> resizingToHeight(const LxImage& image, CGFloat toHeight, int scale) {
    if (!hasArea(image.size())) {
        return std::nullopt;
    }
    return scaledBy(image, toHeight / image.size().height, std::nullopt, scale);
}

std::optional<LxImage> masked(const LxImage& image, const LxImage& by, int scale) {
    const auto mask = cgImage(by);
    if (!mask) {
        return std::nullopt;
    }
    return ImageHelper::shared().image(
        image.size(), scale, [&](const CGRect& rect, ImageDrawingContext& context) {
            context.drawMasked(*mask, CGRect{{0, 0}, by.size()},
                               [&](ImageDrawingContext& layer) { layer.draw(image, rect); });
        });
}

std::optional<LxImage> tintColored(const LxImage& image, const QColor& color, int scale) {
    const auto mask = cgImage(image);
    if (!mask) {
        return std::nullopt;
    }
    return ImageHelper::shared().image(
        image.size(), scale, [&](const CGRect& rect, ImageDrawingContext& context) {
            context.drawMasked(*mask, rect,
                               [&](ImageDrawingContext& layer) { layer.fill(rect, color); });
        });
}

LxImage verticalFlipped(const LxImage& image) {
    std::vector<LxImage::Representation> flipped;
    flipped.reserve(image.representations().size());
    for (const LxImage::Representation& representation : image.representations()) {
        flipped.push_back({representation.pixels.mirrored(false, true), representation.kind});
    }
    return LxImage(image.size(), std::move(flipped));
}

std::optional<LxImage> grayScaled(const LxImage& image) {
    if (image.representations().empty()) {
        return std::nullopt;
    }
    if (const QImage* bitmap = image.firstBitmap()) {
        QImage grey = bitmap->hasAlphaChannel()
                          ? greyKeepingAlpha(*bitmap)
                          : bitmap->convertToFormat(QImage::Format_Grayscale8);
        if (grey.isNull()) {
            return std::nullopt;
        }
        return LxImage(image.size(), {{std::move(grey), LxImage::RepresentationKind::bitmap}});
    }
    const auto pixels = cgImage(image);
    if (!pixels) {
        return std::nullopt;
    }
    // Drawn into an opaque grey bitmap of the first representation's pixels.
    QImage grey = pixels->convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull()) {
        return std::nullopt;
    }
    return LxImage(image.size(), {{std::move(grey), LxImage::RepresentationKind::bitmap}});
}

void draw(const LxImage& image, ImageDrawingContext& context, const CGPoint& at, double fraction) {
    context.draw(image, CGRect{at, image.size()}, CompositingOperation::sourceOver, fraction);
}

void draw(const LxImage& image, ImageDrawingContext& context, const CGRect& atCenterOf,
          double fraction) {
    draw(image, context, pointAtCenterOf(image.size(), atCenterOf), fraction);
}

}  // namespace lx
