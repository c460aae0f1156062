#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>

#include <gtest/gtest.h>

#include "platform/foundation/Geometry.h"
#include "utility/CGLine.h"
#include "utility/GeometryExtensions.h"

namespace platform {

void PrintTo(const CGPoint& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

void PrintTo(const CGRect& rect, std::ostream* out) {
    *out << "(" << rect.origin.x << ", " << rect.origin.y << ", " << rect.size.width << ", "
         << rect.size.height << ")";
}

}  // namespace platform

namespace {

using platform::CGPoint;
using platform::CGRect;
using platform::CGSize;

CGRect make(double x, double y, double w, double h) {
    return {{x, y}, {w, h}};
}

TEST(GeometryExtensionsTest, RectangleOperationsFollowTheirFormulas) {
    const CGRect r = make(10, 20, 30, 40);
    const CGRect flipped = make(10, 20, -30, -10);  // standardised: (-20, 10, 30, 10)
    struct Row {
        const char* name;
        std::function<CGRect()> operation;
        CGRect expected;
    };
    const Row rows[] = {
        {"centre and size",
         [] {
             return lx::rectCenterAt({10, 10}, {4, 6});
         },
         make(8, 7, 4, 6)},
        {"between corners",
         [] {
             return lx::rectBetween({5, 1}, {2, 9});
         },
         make(2, 1, 3, 8)},
        {"between corners, swapped",
         [] {
             return lx::rectBetween({2, 9}, {5, 1});
         },
         make(2, 1, 3, 8)},
        {"centre resized",
         [&] {
             return lx::centerResized(r, CGSize{10, 20});
         },
         make(20, 30, 10, 20)},
        {"centre resized, width and height", [&] { return lx::centerResized(r, 10, 20); },
         make(20, 30, 10, 20)},
        {"centre resized to a height keeps the standardised width",
         [&] { return lx::centerResizedWithHeight(flipped, 4); }, make(-20, 13, 30, 4)},
        {"centre resized to a width keeps the standardised height",
         [&] { return lx::centerResizedWithWidth(flipped, 4); }, make(-7, 10, 4, 10)},
        {"inset nowhere", [&] { return lx::inseted(r); }, r},
        {"inset all round", [&] { return lx::inseted(r, 1, 2, 3, 4); }, make(11, 22, 26, 34)},
        {"inset by named edges",
         [&] { return lx::inseted(r, {.top = 2, .leading = 1, .bottom = 4, .trailing = 3}); },
         make(11, 22, 26, 34)},
        {"inset past the size is not clamped", [&] { return lx::inseted(r, 20, 0, 20); },
         make(30, 20, -10, 40)},
        {"moved", [&] { return lx::moved(r, -1, 2); }, make(9, 22, 30, 40)},
        {"rect(moveX:moveY:)", [&] { return lx::rectMoveX(r, -1, 2); }, make(9, 22, 30, 40)},
        {"from the right", [&] { return lx::rectFromRightWithWidth(r, 5); }, make(35, 20, 5, 40)},
        {"from the bottom uses the standardised maxY",
         [&] { return lx::rectFromBottomWithHeight(flipped, 4); }, make(10, 16, -30, 4)},
        {"from the left", [&] { return lx::rectFromLeftWithWidth(r, 5); }, make(10, 20, 5, 40)},
        {"new width keeps a negative height", [&] { return lx::rectWithNewWidth(flipped, 5); },
         make(10, 20, 5, -10)},
        {"from the top", [&] { return lx::rectFromTopWithHeight(r, 5); }, make(10, 20, 30, 5)},
        {"new height", [&] { return lx::rectWithNewHeight(r, 5); }, make(10, 20, 30, 5)},
        {"right edge moved", [&] { return lx::rectMaxXto(r, 100); }, make(70, 20, 30, 40)},
        {"new origin x takes the standardised height",
         [&] { return lx::rectWithNewOriginX(flipped, 1); }, make(1, 20, -30, 10)},
        {"new origin y takes the standardised height",
         [&] { return lx::rectWithNewOriginY(flipped, 1); }, make(10, 1, -30, 10)},
        {"size scaled", [&] { return lx::sizeScaled(r, 0.5); }, make(10, 20, 15, 20)},
        {"scaled", [&] { return lx::scaled(r, 0.5); }, make(5, 10, 15, 20)},
        {"bounds", [&] { return lx::bounds(r); }, make(0, 0, 30, 40)},
        {"origin ceiled", [] { return lx::originCeiled(make(0.2, -0.5, 1.5, 2.5)); },
         make(1, 0, 1.5, 2.5)},
        {"size at a point",
         [] {
             return lx::rect(CGSize{3, 4}, CGPoint{1, 2});
         },
         make(1, 2, 3, 4)},
        {"size at the origin",
         [] {
             return lx::rect(CGSize{3, 4});
         },
         make(0, 0, 3, 4)},
        {"size at x, in the middle of",
         [&] {
             return lx::rectAtX(CGSize{4, 10}, 1, flipped);
         },
         make(1, 10, 4, 10)},
        {"size at y, centred on",
         [&] {
             return lx::rectAtY(CGSize{4, 10}, 1, flipped);
         },
         make(-7, 1, 4, 10)},
        {"intersection", [] { return make(0, 0, 10, 10).intersection(make(5, -5, -10, 10)); },
         make(0, 0, 5, 5)},
        {"intersection of apart rectangles",
         [] { return make(0, 0, 1, 1).intersection(make(5, 5, 1, 1)); }, CGRect::null()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.operation(), row.expected);
    }
}

TEST(GeometryExtensionsTest, CeilingKeepsTheSignOfZero) {
    const CGRect ceiled = lx::ceiled(make(0.2, -0.2, 1.5, 2.0));
    EXPECT_EQ(ceiled, make(1, 0, 2, 2));
    EXPECT_TRUE(std::signbit(ceiled.origin.y));
    EXPECT_EQ(lx::ceiled(CGSize{0.1, 7}), (CGSize{1, 7}));
}

TEST(GeometryExtensionsTest, CentreIsKeptByResizingAndMovedBySetting) {
    CGRect r = make(3, 5, 7, -9);
    EXPECT_EQ(lx::center(lx::centerResized(r, CGSize{100, 1})), lx::center(r));
    lx::setCenter(r, {0, 0});
    EXPECT_EQ(r, make(-3.5, 4.5, 7, -9));
    EXPECT_EQ(lx::center(r), (CGPoint{0, 0}));

    CGRect apart = make(0, 0, 1, 1);
    lx::intersect(apart, make(2, 2, 1, 1));
    EXPECT_TRUE(apart.isNull());
    EXPECT_EQ(apart.origin.x, std::numeric_limits<double>::infinity());
    EXPECT_EQ(apart.size, (CGSize{0, 0}));
}

TEST(GeometryExtensionsTest, CornerPointsAreStandardisedExceptTheOrigin) {
    const CGRect r = make(10, 20, -4, -6);  // standardised: (6, 14, 4, 6)
    EXPECT_EQ(lx::minXminYPoint(r), (CGPoint{10, 20}));
    EXPECT_EQ(lx::midXminYPoint(r), (CGPoint{8, 14}));
    EXPECT_EQ(lx::maxXminYPoint(r), (CGPoint{10, 14}));
    EXPECT_EQ(lx::maxXmaxYPoint(r), (CGPoint{10, 20}));
    EXPECT_EQ(lx::midXmaxYPoint(r), (CGPoint{8, 20}));
    EXPECT_EQ(lx::minXmaxYPoint(r), (CGPoint{6, 20}));
    EXPECT_EQ(lx::minXmidYPoint(r), (CGPoint{6, 17}));
    EXPECT_EQ(lx::maxXmidYPoint(r), (CGPoint{10, 17}));
}

TEST(GeometryExtensionsTest, PointsAndSizesMoveScaleAndGrow) {
    CGPoint p{1, 2};
    lx::move(p, 2, 2);
    EXPECT_EQ(p, (CGPoint{3, 4}));
    EXPECT_EQ(lx::moved(p, -3, -4), (CGPoint{0, 0}));
    EXPECT_EQ(lx::distance({0, 0}, p), 5);
    EXPECT_EQ(lx::scaled(CGSize{2, 3}, 1.5), (CGSize{3, 4.5}));
    EXPECT_EQ(lx::increased(CGSize{2, 3}, 1, -1), (CGSize{3, 2}));
}

TEST(CGLineTest, ReadingsAndCrossings) {
    const CGLine falling(4, 1, 0, 3);
    EXPECT_EQ(falling.minX(), 0);
    EXPECT_EQ(falling.maxX(), 4);
    EXPECT_EQ(falling.minY(), 1);
    EXPECT_EQ(falling.maxY(), 3);
    EXPECT_EQ(falling.y(2), 2);
    EXPECT_EQ(falling.x(2), 2);
    EXPECT_EQ(CGLine(1, 0, 1, 5).y(1), std::nullopt);
    EXPECT_EQ(CGLine(0, 1, 5, 1).x(1), std::nullopt);

    struct Row {
        const char* name;
        CGLine a;
        CGLine b;
        bool intersects;
    };
    const Row rows[] = {
        {"crossing", {0, 0, 10, 10}, {0, 10, 10, 0}, true},
        {"touching at an end point", {0, 0, 5, 5}, {5, 5, 10, 0}, true},
        {"collinear and overlapping", {0, 0, 5, 5}, {2, 2, 8, 8}, false},
        {"parallel", {0, 0, 5, 0}, {0, 1, 5, 1}, false},
        {"the lines cross beyond one segment", {0, 0, 1, 1}, {0, 10, 10, 0}, false},
        {"the lines cross beyond the other segment", {0, 10, 10, 0}, {0, 0, 1, 1}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.a.intersects(row.b), row.intersects);
        EXPECT_EQ(row.b.intersects(row.a), row.intersects);
    }
}

}  // namespace
