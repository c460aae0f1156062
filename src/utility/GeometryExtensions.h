#pragma once

#include "platform/foundation/Geometry.h"

// Moving, centring, insetting, cutting and scaling points, sizes and rectangles.
//
// Each operation says whether it reads a rectangle's raw fields (x, y, w, h as stored) or its
// standardised readings (`minX()`, `height()` ..., as if the size were non-negative); the two
// differ only for negative sizes. Centring multiplies by 0.5, in the order written, so results
// are the same doubles wherever they are computed.
namespace lx {

using platform::CGFloat;
using platform::CGPoint;
using platform::CGRect;
using platform::CGSize;

// Points.
CGPoint moved(const CGPoint& point, CGFloat byX, CGFloat byY);
void move(CGPoint& point, CGFloat byX, CGFloat byY);
CGFloat distance(const CGPoint& point, const CGPoint& to);

// Rectangles made from a centre and a size, and from two corners in either order (the size is
// never negative).
CGRect rectCenterAt(const CGPoint& centerAt, const CGSize& size);
CGRect rectBetween(const CGPoint& point1, const CGPoint& point2);

// The raw origin.
CGFloat x(const CGRect& rect);
CGFloat y(const CGRect& rect);

// (x + w * 0.5, y + h * 0.5) of the raw fields; setting it moves the origin, keeping the size.
CGPoint center(const CGRect& rect);
void setCenter(CGRect& rect, const CGPoint& center);

// `minXminYPoint` is the raw origin; the other seven are standardised.
CGPoint minXminYPoint(const CGRect& rect);
CGPoint midXminYPoint(const CGRect& rect);
CGPoint maxXminYPoint(const CGRect& rect);
CGPoint maxXmaxYPoint(const CGRect& rect);
CGPoint midXmaxYPoint(const CGRect& rect);
CGPoint minXmaxYPoint(const CGRect& rect);
CGPoint minXmidYPoint(const CGRect& rect);
CGPoint maxXmidYPoint(const CGRect& rect);

// A rectangle of the new size with the same centre (of the raw fields). Where only one side is
// given, the other is the standardised one of `rect`.
CGRect centerResized(const CGRect& rect, const CGSize& withSize);
CGRect centerResized(const CGRect& rect, CGFloat withWidth, CGFloat withHeight);
CGRect centerResizedWithHeight(const CGRect& rect, CGFloat height);
CGRect centerResizedWithWidth(const CGRect& rect, CGFloat width);

// (x + leading, y + top, w - leading - trailing, h - top - bottom); nothing is clamped, so
// large insets give a negative size.
CGRect inseted(const CGRect& rect, CGFloat leading = 0, CGFloat top = 0, CGFloat trailing = 0,
               CGFloat bottom = 0);
// The same with the edges named, so that an inset cannot land on the wrong edge:
//   lx::inseted(frame, {.top = 28, .leading = 4})
CGRect inseted(const CGRect& rect, const platform::EdgeInsets& insets);

CGRect moved(const CGRect& rect, CGFloat byX, CGFloat byY);
CGRect rectMoveX(const CGRect& rect, CGFloat moveX, CGFloat moveY);
// The right-hand part of the new width: (x + w - width, y, width, h).
CGRect rectFromRightWithWidth(const CGRect& rect, CGFloat width);
// The lower part of the new height: (x, standardised maxY - height, w, height).
CGRect rectFromBottomWithHeight(const CGRect& rect, CGFloat height);
CGRect rectFromLeftWithWidth(const CGRect& rect, CGFloat width);
CGRect rectWithNewWidth(const CGRect& rect, CGFloat width);
CGRect rectFromTopWithHeight(const CGRect& rect, CGFloat height);
CGRect rectWithNewHeight(const CGRect& rect, CGFloat height);
// Moved so that its right edge is at `maxX`: (maxX - w, y, w, h).
CGRect rectMaxXto(const CGRect& rect, CGFloat maxX);
// These two keep the raw width but take the standardised (non-negative) height.
CGRect rectWithNewOriginX(const CGRect& rect, CGFloat originX);
CGRect rectWithNewOriginY(const CGRect& rect, CGFloat originY);

// (x, y, w * factor, h * factor).
CGRect sizeScaled(const CGRect& rect, CGFloat factor);
// Every field times `factor`.
CGRect scaled(const CGRect& rect, CGFloat factor);
// (0, 0, w, h).
CGRect bounds(const CGRect& rect);
// Every field rounded up (-0.2 becomes -0.0).
CGRect ceiled(const CGRect& rect);
CGRect originCeiled(const CGRect& rect);
// Makes `rect` the intersection of both; `CGRect::null()` when they do not meet.
void intersect(CGRect& rect, const CGRect& with);

// Sizes.
CGSize scaled(const CGSize& size, CGFloat factor);
CGSize ceiled(const CGSize& size);
CGSize increased(const CGSize& size, CGFloat byWidth, CGFloat byHeight);
CGRect rect(const CGSize& size);
CGRect rect(const CGSize& size, const CGPoint& at);
// At x `atX`, centred vertically on `middleOf`'s standardised middle.
CGRect rectAtX(const CGSize& size, CGFloat atX, const CGRect& middleOf);
// At y `atY`, centred horizontally on `centerOf`'s standardised middle.
CGRect rectAtY(const CGSize& size, CGFloat atY, const CGRect& centerOf);

}  // namespace lx
