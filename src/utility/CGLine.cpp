#include "utility/CGLine.h"

using platform::CGFloat;

CGFloat CGLine::minX() const {
    return point2.x < point1.x ? point2.x : point1.x;
}

CGFloat CGLine::maxX() const {
    return point1.x <= point2.x ? point2.x : point1.x;
}

CGFloat CGLine::minY() const {
    return point2.y < point1.y ? point2.y : point1.y;
}

CGFloat CGLine::maxY() const {
    return point1.y <= point2.y ? point2.y : point1.y;
}

std::optional<CGFloat> CGLine::y(CGFloat x) const {
    if (point1.x == point2.x) {
        return std::nullopt;
    }
    return (point2.y - point1.y) * (x - point1.x) / (point2.x - point1.x) + point1.y;
}

std::optional<CGFloat> CGLine::x(CGFloat y) const {
    if (point1.y == point2.y) {
        return std::nullopt;
    }
    return (point2.x - point1.x) * (y - point1.y) / (point2.y - point1.y) + point1.x;
}

bool CGLine::intersects(const CGLine& with) const {
    const platform::CGPoint& s1 = point1;
    const platform::CGPoint& s2 = point2;
    const platform::CGPoint& o1 = with.point1;
    const platform::CGPoint& o2 = with.point2;
    const CGFloat d = (o2.y - o1.y) * (s2.x - s1.x) - (o2.x - o1.x) * (s2.y - s1.y);
    // Parallel: also collinear segments that overlap, which count as not meeting.
    if (d == 0) {
        return false;
    }
    const CGFloat ua = ((o2.x - o1.x) * (s1.y - o1.y) - (o2.y - o1.y) * (s1.x - o1.x)) / d;
    if (ua < 0 || ua > 1) {
        return false;
    }
    const CGFloat ub = ((s1.y - o1.y) * (s2.x - s1.x) - (s1.x - o1.x) * (s2.y - s1.y)) / d;
    return !(ub > 1) && !(ub < 0);
}
