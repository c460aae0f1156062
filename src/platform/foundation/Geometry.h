#pragma once

// Points, sizes, rectangles and edge insets of the drawing layer, in points (Qt's logical
// pixels), with the readings the drawing layer defines on them. Plain values without Qt; the Qt
// layer converts (platform/qt/GeometryConversions.h).
//
// A rectangle may have a negative width or height. The raw fields are kept as given; the
// readings `minX()` ... `height()` look at the rectangle as if its size were made non-negative
// first, moving the origin to the other edge.
namespace platform {

using CGFloat = double;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;

    friend bool operator==(const CGPoint&, const CGPoint&) = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;

    friend bool operator==(const CGSize&, const CGSize&) = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;

    // The rectangle that stands for "no area": origin (+inf, +inf), size 0. The intersection
    // of rectangles that do not meet.
    static CGRect null();
    bool isNull() const;

    // The same area with a non-negative size.
    CGRect standardized() const;

    CGFloat minX() const;
    CGFloat midX() const;
    CGFloat maxX() const;
    CGFloat minY() const;
    CGFloat midY() const;
    CGFloat maxY() const;
    CGFloat width() const;
    CGFloat height() const;

    // The area both cover, standardised; `null()` when they do not meet or either is null.
    // Rectangles that only touch meet in an area of width or height 0.
    CGRect intersection(const CGRect& other) const;

    friend bool operator==(const CGRect&, const CGRect&) = default;
};

// Insets of the four edges of a view; leading and trailing follow the reading direction.
struct EdgeInsets {
    CGFloat top = 0;
    CGFloat leading = 0;
    CGFloat bottom = 0;
    CGFloat trailing = 0;

    friend bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

}  // namespace platform
