#pragma once

#include <optional>

#include <QColor>

#include "platform/foundation/Geometry.h"
#include "ui-kit/image/ImageGeometry.h"
#include "ui-kit/image/ImageHelper.h"
#include "ui-kit/image/LxImage.h"

// New images made from an image: rounded, stretched, resized, masked, tinted, flipped, grey;
// and drawing an image into a drawing context. Sizes are in points, y upwards; `scale` is the
// result's pixels a point. Nothing throws or logs; failure is an absent image, which an image
// without area (whose factors would not be finite) or without pixels also gives.
// Every operation may run on any thread.
//
// Example:
//   const auto icon = lx::resizing(photo, {32, 32}, 6.0, 2);   // fits in 32 × 32, corners 6
namespace lx {

// The image at its size with the corners rounded (each cut to half its side).
std::optional<LxImage> cornerRounded(const LxImage& image, CGFloat radius, int scale);
// The image distorted to `to`.
std::optional<LxImage> stretched(const LxImage& image, const CGSize& to, int scale);
// The image scaled to fit inside `targetSize`, touching it on one side, not padded; with a
// radius, its corners rounded too.
std::optional<LxImage> resizing(const LxImage& image, const CGSize& targetSize,
                                std::optional<CGFloat> radius, int scale);
std::optional<LxImage> resizingToWidth(const LxImage& image, CGFloat toWidth, int scale);
std::optional<LxImage> resizingToHeight(const LxImage& image, CGFloat toHeight, int scale);

// The image at its size, showing only where `by` covers it: the mask lies at the lower-left
// corner at its own size in points; its alpha is the coverage, or its grey level (white shows)
// when it has no alpha channel. Outside the mask everything is transparent. Nothing when the
// mask has no pixels.
std::optional<LxImage> masked(const LxImage& image, const LxImage& by, int scale);
// The colour wherever the image is opaque, in proportion to its alpha (grey level without an
// alpha channel), transparent elsewhere.
std::optional<LxImage> tintColored(const LxImage& image, const QColor& color, int scale);

// The image upside down: every representation's rows in reverse order. Always an image.
LxImage verticalFlipped(const LxImage& image);
// The image in grey at its size. A bitmap stays a bitmap of the same pixels with r = g = b and
// its alpha kept; any other representation is drawn into an opaque grey bitmap. Nothing without
// representations.
std::optional<LxImage> grayScaled(const LxImage& image);

// Draws the whole image at its size with its lower-left corner at `at`, blended at `fraction`.
void draw(const LxImage& image, ImageDrawingContext& context, const CGPoint& at,
          double fraction = 1.0);
// The same at `pointAtCenterOf(image size, atCenterOf)` (whole points, rounded up).
void draw(const LxImage& image, ImageDrawingContext& context, const CGRect& atCenterOf,
          double fraction = 1.0);

}  // namespace lx
