#pragma once

#include <optional>

#include "platform/foundation/Geometry.h"
#include "ui-kit/image/ImageGeometry.h"
#include "ui-kit/image/LxImage.h"

// Thumbnails of images, optionally centred on the faces in them, and rectangles cut out of
// images. Sizes are in points, y upwards (ImageGeometry.h). Nothing throws or logs; failure is
// an absent image. Every operation may run on any thread.
//
// Example:
//   const auto avatar = lx::makingThumbnail(photo, {64, 64}, {}, 8.0, ImageScalingFit::fill,
//                                           true);
namespace lx {

// A thumbnail of `size` at one pixel a point: the image drawn by `fit` inside the margins
// (`leading` is the left margin, `trailing` the right), clipped to a rectangle with rounded
// corners when there is a radius. Margins that leave no room give a transparent thumbnail.
// With `faceDetect`, the image is first cut to the largest crop of the thumbnail's proportions
// centred on the faces found, then stretched into the margins; without faces, or when the
// crop does not fit the image, the plain thumbnail by `fit` is drawn. Nothing only when the
// thumbnail cannot be drawn at all (a size without whole pixels, say).
std::optional<LxImage> makingThumbnail(const LxImage& image, const platform::CGSize& size,
                                       const platform::EdgeInsets& insets,
                                       std::optional<platform::CGFloat> radius, ImageScalingFit fit,
                                       bool faceDetect);

// The part of the image inside `from` (points, y upwards) as a new image of that size at
// `scale` pixels a point. Nothing unless x and y are at least 0, the size is positive and no
// larger than the image's; the far edges are not checked, so a rectangle reaching past the
// image gives an image that is transparent there.
std::optional<LxImage> clipped(const LxImage& image, const platform::CGRect& from, int scale);

}  // namespace lx
