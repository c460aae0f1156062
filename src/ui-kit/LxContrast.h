#pragma once

#include <QColor>

// How well text reads on what lies behind it, by the WCAG measure, and text colours made to
// read: the palette's faint colours and the fixed tints are meant for a platform that draws
// them heavier, and a palette of either brightness may put them on a background too close.
namespace lx {

// The contrast text must reach against its background (WCAG AA for body text).
inline constexpr double kMinimumTextContrast = 4.5;
// The contrast a text colour is given: antialiasing draws thin strokes, small text above all,
// only part of the way to their colour, so the colour itself must lie beyond the minimum for
// the pixels drawn to reach it.
inline constexpr double kTextInkContrast = 6.0;
// The same for text of a light weight, whose strokes are thinner still.
inline constexpr double kLightTextInkContrast = 8.0;

// The WCAG contrast ratio of two opaque colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);

// `over` as it shows when laid over the opaque `background`. Opaque.
QColor composited(const QColor& over, const QColor& background);

// `preferred` as it shows over `background` (composited over white where it is translucent
// itself), made just dark or light enough to reach `minimumContrast`. Opaque.
QColor readableTextColor(const QColor& preferred, const QColor& background,
                         double minimumContrast = kTextInkContrast);

}  // namespace lx
