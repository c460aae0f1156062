#pragma once

#include <optional>

#include "platform/foundation/Geometry.h"

// A line segment between two points, stored as given.
//
// Example:
//   const CGLine diagonal(0, 0, 10, 10);
//   diagonal.y(4);                                  // 4
//   diagonal.intersects(CGLine(0, 10, 10, 0));     // true
struct CGLine {
    CGLine(platform::CGPoint point1, platform::CGPoint point2) : point1(point1), point2(point2) {}
    CGLine(platform::CGFloat x1, platform::CGFloat y1, platform::CGFloat x2, platform::CGFloat y2)
        : point1{x1, y1}, point2{x2, y2} {}

    // On a tie the first point's coordinate is taken for the minimum, the second's for the
    // maximum; the value is the same either way.
    platform::CGFloat minX() const;
    platform::CGFloat maxX() const;
    platform::CGFloat minY() const;
    platform::CGFloat maxY() const;

    // The y of the line through both points at `x`; none for a vertical segment.
    std::optional<platform::CGFloat> y(platform::CGFloat x) const;
    // The x of the line through both points at `y`; none for a horizontal segment.
    std::optional<platform::CGFloat> x(platform::CGFloat y) const;

    // Whether the two segments share a point. End points that touch count; parallel segments,
    // collinear overlapping ones included, never intersect.
    bool intersects(const CGLine& with) const;

    friend bool operator==(const CGLine&, const CGLine&) = default;

    platform::CGPoint point1;
    platform::CGPoint point2;
};
