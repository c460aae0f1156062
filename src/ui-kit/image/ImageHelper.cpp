#include "ui-kit/image/ImageHelper.h"

#include <cmath>

#include <QPainterPath>
#include <QRectF>

#include "ui-kit/image/ImageGeometry.h"

namespace {

// Far beyond any photo, and small enough that a mistaken size fails at once instead of
// allocating and clearing gigabytes. Qt's raster painter also works best below 2^15 a side.
constexpr double kMaximumPixelCount = double(1 << 28);
constexpr double kMaximumSide = double(1 << 15);

// Black with the mask's coverage as alpha, premultiplied.
QImage coverageOf(const QImage& mask) {
    const bool byAlpha = mask.hasAlphaChannel();
    const QImage source = mask.convertToFormat(QImage::Format_ARGB32);
    QImage coverage(source.size(), QImage::Format_ARGB32_Premultiplied);
    if (source.isNull() || coverage.isNull()) {
        return {};
    }
    for (int row = 0; row < source.height(); ++row) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        auto* out = reinterpret_cast<QRgb*>(coverage.scanLine(row));
        for (int column = 0; column < source.width(); ++column) {
            const int alpha = byAlpha ? qAlpha(in[column]) : qGray(in[column]);
            out[column] = qRgba(0, 0, 0, alpha);
        }
    }
    return coverage;
}

QRectF toQRectF(const platform::CGRect& rect) {
    return {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height};
}

QImage transparentSurface(const QSize& size) {
    QImage surface(size, QImage::Format_ARGB32_Premultiplied);
    if (!surface.isNull()) {
        surface.fill(Qt::transparent);
    }
    return surface;
}

}  // namespace

ImageDrawingContext::ImageDrawingContext(QImage& surface, int scale, double heightInPoints)
    : surface_(surface), painter_(&surface), scale_(scale), heightInPoints_(heightInPoints) {
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    if (scale > 1) {
        painter_.scale(scale, scale);
    }
}

QRectF ImageDrawingContext::toDevice(const platform::CGRect& rect) const {
    return toQRectF(lx::flippedVertically(rect, heightInPoints_));
}

void ImageDrawingContext::setOperation(CompositingOperation operation) {
    painter_.setCompositionMode(operation == CompositingOperation::copy
                                    ? QPainter::CompositionMode_Source
                                    : QPainter::CompositionMode_SourceOver);
}

void ImageDrawingContext::setAntialiasing(bool on) {
    painter_.setRenderHint(QPainter::Antialiasing, on);
}

void ImageDrawingContext::clipToRoundedRect(const platform::CGRect& rect,
                                            const platform::CGSize& cornerSize) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(toDevice(rect), cornerSize.width, cornerSize.height, Qt::AbsoluteSize);
    painter_.setClipPath(path, Qt::IntersectClip);
}

void ImageDrawingContext::draw(const LxImage& image, const platform::CGRect& inRect,
                               CompositingOperation operation, double fraction) {
    const auto pixels = lx::cgImage(image);
    if (!pixels) {
        return;
    }
    painter_.save();
    setOperation(operation);
    painter_.setOpacity(fraction);
    painter_.drawImage(toDevice(inRect), *pixels, QRectF(pixels->rect()));
    painter_.restore();
}

void ImageDrawingContext::draw(const LxImage& image, const platform::CGPoint& at,
                               const platform::CGRect& from, CompositingOperation operation,
                               double fraction) {
    const auto pixels = lx::cgImage(image);
    const platform::CGSize& points = image.size();
    if (!pixels || !(points.width > 0 && points.height > 0)) {
        return;
    }
    const QRectF fromPoints = toQRectF(lx::flippedVertically(from, points.height));
    const double pixelsPerPointX = pixels->width() / points.width;
    const double pixelsPerPointY = pixels->height() / points.height;
    const QRectF source(fromPoints.x() * pixelsPerPointX, fromPoints.y() * pixelsPerPointY,
                        fromPoints.width() * pixelsPerPointX,
                        fromPoints.height() * pixelsPerPointY);
    const QRectF target = toDevice({at, from.size});
    // Only the part of `from` that lies on the image draws; the rest of the target stays as it
    // was, rather than smearing the image's edge pixels over it.
    const QRectF visible = source.intersected(QRectF(pixels->rect()));
    if (visible.isEmpty()) {
        return;
    }
    const double targetPerSourceX = target.width() / source.width();
    const double targetPerSourceY = target.height() / source.height();
    const QRectF visibleTarget(target.x() + (visible.x() - source.x()) * targetPerSourceX,
                               target.y() + (visible.y() - source.y()) * targetPerSourceY,
                               visible.width() * targetPerSourceX,
                               visible.height() * targetPerSourceY);
    painter_.save();
    setOperation(operation);
    painter_.setOpacity(fraction);
    painter_.drawImage(visibleTarget, *pixels, visible);
    painter_.restore();
}

void ImageDrawingContext::fill(const platform::CGRect& rect, const QColor& color) {
    painter_.fillRect(toDevice(rect), color);
}

void ImageDrawingContext::drawMasked(const QImage& mask, const platform::CGRect& maskRect,
                                     const std::function<void(ImageDrawingContext&)>& drawing) {
    // The drawing goes onto a layer of its own, which the mask then cuts: masking the surface
    // itself would also cut what was drawn before, and a mask composited over only its own
    // rectangle would leave everything outside that rectangle untouched.
    QImage layer = transparentSurface(surface_.size());
    QImage coverage = transparentSurface(surface_.size());
    const QImage maskCoverage = coverageOf(mask);
    if (layer.isNull() || coverage.isNull() || maskCoverage.isNull()) {
        return;
    }
    {
        ImageDrawingContext layerContext(layer, scale_, heightInPoints_);
        drawing(layerContext);
    }
    {
        ImageDrawingContext coverageContext(coverage, scale_, heightInPoints_);
        coverageContext.painter_.drawImage(toDevice(maskRect), maskCoverage,
                                           QRectF(maskCoverage.rect()));
    }
    {
        QPainter cut(&layer);
        cut.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        cut.drawImage(QPointF(0, 0), coverage);
    }
    painter_.save();
    painter_.resetTransform();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setOpacity(1);
    painter_.drawImage(QPointF(0, 0), layer);
    painter_.restore();
}

const ImageHelper& ImageHelper::shared() {
    static const ImageHelper helper;
    return helper;
}

std::optional<LxImage> ImageHelper::image(const platform::CGSize& inSize, int scale,
                                          const Drawing& draw) const {
    if (!std::isfinite(inSize.width) || !std::isfinite(inSize.height) || scale < 1) {
        return std::nullopt;
    }
    // Whole points first, then the scale: 10.7 points at scale 2 are 20 pixels.
    const double pixelsWide = std::trunc(inSize.width) * scale;
    const double pixelsHigh = std::trunc(inSize.height) * scale;
    if (!(pixelsWide >= 1 && pixelsHigh >= 1 && pixelsWide <= kMaximumSide &&
          pixelsHigh <= kMaximumSide && pixelsWide * pixelsHigh <= kMaximumPixelCount)) {
        return std::nullopt;
    }
    // Qt leaves a new bitmap's memory as it finds it; the drawing starts from transparent.
    QImage surface =
        transparentSurface(QSize(static_cast<int>(pixelsWide), static_cast<int>(pixelsHigh)));
    if (surface.isNull()) {
        return std::nullopt;
    }
    {
        // The surface's own height in points, so that y = 0 is its bottom row even when the
        // size has a fraction the pixels do not cover.
        ImageDrawingContext context(surface, scale, pixelsHigh / scale);
        draw(platform::CGRect{{0, 0}, inSize}, context);
    }
    return LxImage(inSize, {{surface, LxImage::RepresentationKind::bitmap}});
}
