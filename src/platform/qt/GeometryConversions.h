#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include "platform/foundation/Geometry.h"

// Geometry values to and from Qt's, one point being one logical pixel. Rectangles keep their
// raw fields: a negative size stays negative (QRectF::normalized() standardises).
namespace platform::qt {

inline QPointF toQPointF(const CGPoint& point) {
    return {point.x, point.y};
}

inline QSizeF toQSizeF(const CGSize& size) {
    return {size.width, size.height};
}

inline QRectF toQRectF(const CGRect& rect) {
    return {toQPointF(rect.origin), toQSizeF(rect.size)};
}

inline CGPoint fromQPointF(const QPointF& point) {
    return {point.x(), point.y()};
}

inline CGSize fromQSizeF(const QSizeF& size) {
    return {size.width(), size.height()};
}

inline CGRect fromQRectF(const QRectF& rect) {
    return {fromQPointF(rect.topLeft()), fromQSizeF(rect.size())};
}

}  // namespace platform::qt
