#pragma once

#include <optional>
#include <vector>

#include "platform/foundation/Geometry.h"

// The arithmetic of thumbnails, faces and drawing, apart from any pixels.
//
// Sizes and rectangles are in points of a drawing surface whose origin is the lower-left
// corner, y growing upwards. Only `flippedVertically` knows that Qt's rows run downwards.
namespace lx {

using platform::CGFloat;
using platform::CGPoint;
using platform::CGRect;
using platform::CGSize;

}  // namespace lx

// How an image is fitted into a rectangle. A value: compare and hash it by case.
//
// Example:
//   const auto fit = ImageScalingFit::fromRawValue(2).value_or(ImageScalingFit::stretch);
class ImageScalingFit {
public:
    enum Case : int {
        stretch = 0,  // fills the rectangle, distorted
        fill = 1,     // covers the rectangle, proportions kept, the overflow cut by a clip
        fit = 2,      // lies inside the rectangle, proportions kept, centred
    };

    constexpr ImageScalingFit(Case value) : value_(value) {}

    // The case with that raw value; none for any number but 0, 1 and 2.
    static constexpr std::optional<ImageScalingFit> fromRawValue(int rawValue) {
        switch (rawValue) {
            case stretch:
                return stretch;
            case fill:
                return fill;
            case fit:
                return fit;
            default:
                return std::nullopt;
        }
    }

    constexpr int rawValue() const { return value_; }
    constexpr Case value() const { return value_; }

    constexpr bool operator==(const ImageScalingFit&) const = default;

private:
    Case value_;
};

template <>
struct std::hash<ImageScalingFit> {
    std::size_t operator()(ImageScalingFit fit) const noexcept {
        return std::hash<int>{}(fit.rawValue());
    }
};

namespace lx {

// Faces found in an image: `inRect` is the union of all faces and `faceRects` each face in the
// order the detector reported them, both in pixels of the image's bitmap with y upwards;
// `imageDimentions` is that bitmap's size in pixels.
struct FaceDetection {
    CGRect inRect;
    CGSize imageDimentions;
    std::vector<CGRect> faceRects;

    friend bool operator==(const FaceDetection&, const FaceDetection&) = default;
};

// The same rectangle counted from the other horizontal edge of a surface `height` high:
// (x, height - y - h, w, h). Its own inverse; the one place where y-up meets Qt's y-down rows.
CGRect flippedVertically(const CGRect& rect, CGFloat height);

// Where an image of `imageSize` is drawn to fit `rect` by `fit`; nothing when the image or the
// rectangle has no area (or a size that is not finite), since then there is nothing to draw.
//   stretch: `rect`.  fit: the largest size of the image's proportions inside `rect`, centred.
//   fill: the smallest size of the image's proportions covering `rect`; a relatively taller
//   image keeps the top edge and overflows below, a relatively wider one keeps the left edge
//   and overflows to the right.
// An image of exactly the rectangle's proportions gets `rect` under every rule.
std::optional<CGRect> fitRect(const CGSize& imageSize, const CGRect& rect, ImageScalingFit fit);

// The corner width and height of a rounded rectangle: the radius, cut to half of each side.
CGSize cornerSize(const CGSize& rectSize, CGFloat radius);

// The rectangle a thumbnail of `size` draws into inside its margins: the top margin's empty band
// lies at the top of the picture. Its width or height is not positive when the margins meet.
CGRect thumbnailTargetRect(const CGSize& size, const platform::EdgeInsets& margins);

// The crop, in points of an image `imageSize` points large, that keeps the detected faces in
// its middle at the proportions of a thumbnail of `thumbnailSize`: the largest rectangle centred
// on the faces' union inside the bitmap. Nothing when it would leave the image or has no area
// (a face union touching an edge of the bitmap).
std::optional<CGRect> faceCrop(const FaceDetection& faces, const CGSize& thumbnailSize,
                               const CGSize& imageSize);

// The lower-left corner at which an image of `imageSize` is drawn centred in `rect`, each
// coordinate rounded up to a whole point.
CGPoint pointAtCenterOf(const CGSize& imageSize, const CGRect& rect);

}  // namespace lx
