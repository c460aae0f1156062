#include "platform/foundation/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

CGRect CGRect::null() {
    constexpr CGFloat infinity = std::numeric_limits<CGFloat>::infinity();
    return {{infinity, infinity}, {0, 0}};
}

bool CGRect::isNull() const {
    return std::isinf(origin.x) || std::isinf(origin.y);
}

CGRect CGRect::standardized() const {
    CGRect result = *this;
    if (result.size.width < 0) {
        result.origin.x += result.size.width;
        result.size.width = -result.size.width;
    }
    if (result.size.height < 0) {
        result.origin.y += result.size.height;
        result.size.height = -result.size.height;
    }
    return result;
}

CGFloat CGRect::minX() const {
    return standardized().origin.x;
}

CGFloat CGRect::midX() const {
    const CGRect rect = standardized();
    return rect.origin.x + rect.size.width * 0.5;
}

CGFloat CGRect::maxX() const {
    const CGRect rect = standardized();
    return rect.origin.x + rect.size.width;
}

CGFloat CGRect::minY() const {
    return standardized().origin.y;
}

CGFloat CGRect::midY() const {
    const CGRect rect = standardized();
    return rect.origin.y + rect.size.height * 0.5;
}

CGFloat CGRect::maxY() const {
    const CGRect rect = standardized();
    return rect.origin.y + rect.size.height;
}

CGFloat CGRect::width() const {
    return std::abs(size.width);
}

CGFloat CGRect::height() const {
    return std::abs(size.height);
}

CGRect CGRect::intersection(const CGRect& other) const {
    if (isNull() || other.isNull()) {
        return null();
    }
    const CGFloat left = std::max(minX(), other.minX());
    const CGFloat right = std::min(maxX(), other.maxX());
    const CGFloat top = std::max(minY(), other.minY());
    const CGFloat bottom = std::min(maxY(), other.maxY());
    if (left > right || top > bottom) {
        return null();
    }
    return {{left, top}, {right - left, bottom - top}};
}

}  // namespace platform
