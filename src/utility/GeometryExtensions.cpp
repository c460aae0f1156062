#include "utility/GeometryExtensions.h"

#include <cmath>

namespace lx {

CGPoint moved(const CGPoint& point, CGFloat byX, CGFloat byY) {
    return {point.x + byX, point.y + byY};
}

void move(CGPoint& point, CGFloat byX, CGFloat byY) {
    point = moved(point, byX, byY);
}

CGFloat distance(const CGPoint& point, const CGPoint& to) {
    const CGFloat dx = to.x - point.x;
    const CGFloat dy = to.y - point.y;
    return std::sqrt(dx * dx + dy * dy);
}

CGRect rectCenterAt(const CGPoint& centerAt, const CGSize& size) {
    return {{centerAt.x - size.width * 0.5, centerAt.y - 0.5 * size.height}, size};
}

CGRect rectBetween(const CGPoint& point1, const CGPoint& point2) {
    const CGFloat minX = point2.x < point1.x ? point2.x : point1.x;
    const CGFloat minY = point2.y < point1.y ? point2.y : point1.y;
    return {{minX, minY}, {std::abs(point1.x - point2.x), std::abs(point1.y - point2.y)}};
}

CGFloat x(const CGRect& rect) {
    return rect.origin.x;
}

CGFloat y(const CGRect& rect) {
    return rect.origin.y;
}

CGPoint center(const CGRect& rect) {
    return {rect.origin.x + rect.size.width * 0.5, rect.origin.y + rect.size.height * 0.5};
}

void setCenter(CGRect& rect, const CGPoint& center) {
    rect.origin = {center.x - rect.size.width * 0.5, center.y - rect.size.height * 0.5};
}

CGPoint minXminYPoint(const CGRect& rect) {
    return rect.origin;
}

CGPoint midXminYPoint(const CGRect& rect) {
    return {rect.midX(), rect.minY()};
}

CGPoint maxXminYPoint(const CGRect& rect) {
    return {rect.maxX(), rect.minY()};
}

CGPoint maxXmaxYPoint(const CGRect& rect) {
    return {rect.maxX(), rect.maxY()};
}

CGPoint midXmaxYPoint(const CGRect& rect) {
    return {rect.midX(), rect.maxY()};
}

CGPoint minXmaxYPoint(const CGRect& rect) {
    return {rect.minX(), rect.maxY()};
}

CGPoint minXmidYPoint(const CGRect& rect) {
    return {rect.minX(), rect.midY()};
}

CGPoint maxXmidYPoint(const CGRect& rect) {
    return {rect.maxX(), rect.midY()};
}

CGRect centerResized(const CGRect& rect, const CGSize& withSize) {
    return {{rect.origin.x + rect.size.width * 0.5 - withSize.width * 0.5,
             rect.origin.y + rect.size.height * 0.5 - 0.5 * withSize.height},
            withSize};
}

CGRect centerResized(const CGRect& rect, CGFloat withWidth, CGFloat withHeight) {
    return centerResized(rect, CGSize{withWidth, withHeight});
}

CGRect centerResizedWithHeight(const CGRect& rect, CGFloat height) {
    return centerResized(rect, rect.width(), height);
}

CGRect centerResizedWithWidth(const CGRect& rect, CGFloat width) {
    return centerResized(rect, width, rect.height());
}

CGRect inseted(const CGRect& rect, CGFloat leading, CGFloat top, CGFloat trailing, CGFloat bottom) {
    return {{rect.origin.x + leading, rect.origin.y + top},
            {rect.size.width - leading - trailing, rect.size.height - top - bottom}};
}

CGRect inseted(const CGRect& rect, const platform::EdgeInsets& insets) {
    return inseted(rect, insets.leading, insets.top, insets.trailing, insets.bottom);
}

CGRect moved(const CGRect& rect, CGFloat byX, CGFloat byY) {
    return {moved(rect.origin, byX, byY), rect.size};
}

CGRect rectMoveX(const CGRect& rect, CGFloat moveX, CGFloat moveY) {
    return moved(rect, moveX, moveY);
}

CGRect rectFromRightWithWidth(const CGRect& rect, CGFloat width) {
    return {{rect.origin.x + rect.size.width - width, rect.origin.y}, {width, rect.size.height}};
}

CGRect rectFromBottomWithHeight(const CGRect& rect, CGFloat height) {
    return {{rect.origin.x, rect.maxY() - height}, {rect.size.width, height}};
}

CGRect rectFromLeftWithWidth(const CGRect& rect, CGFloat width) {
    return {rect.origin, {width, rect.size.height}};
}

CGRect rectWithNewWidth(const CGRect& rect, CGFloat width) {
    return rectFromLeftWithWidth(rect, width);
}

CGRect rectFromTopWithHeight(const CGRect& rect, CGFloat height) {
    return {rect.origin, {rect.size.width, height}};
}

CGRect rectWithNewHeight(const CGRect& rect, CGFloat height) {
    return rectFromTopWithHeight(rect, height);
}

CGRect rectMaxXto(const CGRect& rect, CGFloat maxX) {
    return {{maxX - rect.size.width, rect.origin.y}, rect.size};
}

CGRect rectWithNewOriginX(const CGRect& rect, CGFloat originX) {
    return {{originX, rect.origin.y}, {rect.size.width, rect.height()}};
}

CGRect rectWithNewOriginY(const CGRect& rect, CGFloat originY) {
    return {{rect.origin.x, originY}, {rect.size.width, rect.height()}};
}

CGRect sizeScaled(const CGRect& rect, CGFloat factor) {
    return {rect.origin, scaled(rect.size, factor)};
}

CGRect scaled(const CGRect& rect, CGFloat factor) {
    return {{rect.origin.x * factor, rect.origin.y * factor}, scaled(rect.size, factor)};
}

CGRect bounds(const CGRect& rect) {
    return {{0, 0}, rect.size};
}

CGRect ceiled(const CGRect& rect) {
    return {{std::ceil(rect.origin.x), std::ceil(rect.origin.y)}, ceiled(rect.size)};
}

CGRect originCeiled(const CGRect& rect) {
    return {{std::ceil(rect.origin.x), std::ceil(rect.origin.y)}, rect.size};
}

void intersect(CGRect& rect, const CGRect& with) {
    rect = rect.intersection(with);
}

CGSize scaled(const CGSize& size, CGFloat factor) {
    return {size.width * factor, size.height * factor};
}

CGSize ceiled(const CGSize& size) {
    return {std::ceil(size.width), std::ceil(size.height)};
}

CGSize increased(const CGSize& size, CGFloat byWidth, CGFloat byHeight) {
    return {size.width + byWidth, size.height + byHeight};
}

CGRect rect(const CGSize& size) {
    return {{0, 0}, size};
}

CGRect rect(const CGSize& size, const CGPoint& at) {
    return {at, size};
}

CGRect rectAtX(const CGSize& size, CGFloat atX, const CGRect& middleOf) {
    return {{atX, middleOf.midY() - 0.5 * size.height}, size};
}

CGRect rectAtY(const CGSize& size, CGFloat atY, const CGRect& centerOf) {
    return {{centerOf.midX() - 0.5 * size.width, atY}, size};
}

}  // namespace lx
