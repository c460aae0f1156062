#pragma once

#include <optional>
#include <vector>

#include <QImage>

#include "platform/foundation/Geometry.h"

// An image as the drawing code sees it: a size in points and the representations that draw it.
//
// A representation holds pixels. A bitmap representation is the image's own pixels, which the
// file encoder may write; any other kind (the stand-in of a filter result, say) only draws. The
// image draws through its first representation, scaled to its size in points, so an image of
// 100 × 100 points whose first representation has 200 × 200 pixels is a double-density image.
// A value; copies share pixels until one is changed (QImage's own sharing).
//
// Example:
//   const LxImage photo(*lx::imageWithContentsOfFile(path));   // points = pixels
//   const auto small = lx::resizingToWidth(photo, 120, 2);
class LxImage {
public:
    enum class RepresentationKind { bitmap, nonBitmap };

    struct Representation {
        QImage pixels;
        RepresentationKind kind = RepresentationKind::bitmap;
    };

    // No representations and no size.
    LxImage() = default;
    LxImage(const platform::CGSize& size, std::vector<Representation> representations);
    // One bitmap representation; the size in points is the pixel size divided by the bitmap's
    // device pixel ratio. A null QImage gives an image without representations.
    explicit LxImage(const QImage& bitmap);

    // An image of the filter result's pixel size whose one representation is not a bitmap: it
    // draws, but the file encoder refuses it.
    static LxImage convert(const QImage& ciImage);

    const platform::CGSize& size() const { return size_; }
    const std::vector<Representation>& representations() const { return representations_; }
    // The first representation when it is a bitmap; nothing otherwise.
    const QImage* firstBitmap() const;

private:
    platform::CGSize size_;
    std::vector<Representation> representations_;
};

namespace lx {

// The first representation's pixels wide and high; the size in points without representations.
platform::CGSize pixelSize(const LxImage& image);
// The pixels the image draws with (its first representation, of any kind); nothing without.
std::optional<QImage> cgImage(const LxImage& image);
// The image as a filter's input: the same pixels as `cgImage`.
std::optional<QImage> ciImage(const LxImage& image);

}  // namespace lx
