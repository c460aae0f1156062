#pragma once

#include <functional>
#include <optional>

#include <QColor>
#include <QImage>
#include <QPainter>

#include "platform/foundation/Geometry.h"
#include "ui-kit/image/LxImage.h"

// How a drawing is laid over what is already there.
enum class CompositingOperation {
    copy = 1,        // replaces the destination inside the drawn area
    sourceOver = 2,  // blends over it
};

// An offscreen drawing surface handed to ImageHelper's callbacks, in points with the origin at
// the lower-left corner and y upwards. Images are drawn upright; the surface turns its
// rectangles into Qt's rows itself. Lives only for the callback; not for use on other threads.
class ImageDrawingContext {
public:
    ImageDrawingContext(const ImageDrawingContext&) = delete;
    ImageDrawingContext& operator=(const ImageDrawingContext&) = delete;

    void setAntialiasing(bool on);
    // Later drawing stays inside the rounded rectangle (non-zero winding).
    void clipToRoundedRect(const platform::CGRect& rect, const platform::CGSize& cornerSize);

    // The whole image scaled into `inRect`.
    void draw(const LxImage& image, const platform::CGRect& inRect,
              CompositingOperation operation = CompositingOperation::sourceOver,
              double fraction = 1.0);
    // The part `from` of the image (in its points) at its own size, lower-left corner at `at`.
    void draw(const LxImage& image, const platform::CGPoint& at, const platform::CGRect& from,
              CompositingOperation operation, double fraction);
    void fill(const platform::CGRect& rect, const QColor& color);

    // Runs `drawing` with everything it draws masked: `mask` is stretched over `maskRect`, its
    // alpha (or, without an alpha channel, its grey level: white paints) is how much shows,
    // and nothing shows outside `maskRect`. What was drawn before is not touched.
    void drawMasked(const QImage& mask, const platform::CGRect& maskRect,
                    const std::function<void(ImageDrawingContext&)>& drawing);

private:
    friend class ImageHelper;
    ImageDrawingContext(QImage& surface, int scale, double heightInPoints);

    QRectF toDevice(const platform::CGRect& rect) const;
    void setOperation(CompositingOperation operation);

    QImage& surface_;
    QPainter painter_;
    int scale_;
    double heightInPoints_;
};

// Draws offscreen into new 8-bit RGBA bitmaps; every image operation draws through it.
class ImageHelper {
public:
    using Drawing = std::function<void(const platform::CGRect&, ImageDrawingContext&)>;

    static const ImageHelper& shared();

    // A new image of `inSize` points over a transparent bitmap of trunc(width) × scale by
    // trunc(height) × scale pixels, drawn by `draw`, which gets the rectangle (0, 0, inSize) and
    // draws in points. Nothing, before anything is allocated, for a size that is not finite or
    // gives no whole pixel, a scale below 1, or more than 2^28 pixels (1 GiB) or 2^15 a side.
    std::optional<LxImage> image(const platform::CGSize& inSize, int scale,
                                 const Drawing& draw) const;
};
