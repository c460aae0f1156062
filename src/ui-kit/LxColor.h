#pragma once

#include <QColor>
#include <QString>

#include "ui-kit/LxBundle.h"

// The kit's palette: every colour a view uses that is not a literal.
//
// Nothing is cached: each call builds the colour anew, so a changed application palette or a
// colour asset added later shows on the next call.
//
// Named colours are the main bundle's colour asset of the name in quotes, else a colour derived
// from the application palette (QGuiApplication::palette(), active group), so that a light and
// a dark palette both give backgrounds that the palette's own text reads on:
//   systemBackground, tertiarySystemBackground, secondarySystemGroupedBackground   Base
//   secondarySystemBackground, systemGroupedBackground, tertiarySystemGroupedBackground,
//   systemGray6                                                   Base 5 % of the way to Text
//   systemGray5 10 % · systemGray4 18 % · systemGray3 and opaqueSeparator 22 % ·
//   systemGray2 32 % · systemGray 44 % of the way from Base to Text
//   systemFill, secondary-, tertiary-, quaternarySystemFill      halfway between Base and
//                                                  Text, at an alpha of 0.2, 0.16, 0.12, 0.08
// With a white Base and black Text these are the light greys of the platform this palette
// is modelled on, to within a few units.
//
// System colours come from the palette too:
//   label, revisedSystemBackground  WindowText
//   secondaryLabel                  WindowText at 50 % of its alpha
//   tertiaryLabel                   WindowText at 26 %
//   quaternaryLabel                 WindowText at 10 %
//   separator                       WindowText at 10 %
//   placeholderText                 PlaceholderText
//   link                            Link
//   focusIndicator                  Highlight
// The system tints have no palette role; they are fixed (light appearance): systemRed
// 255,59,48 · systemGreen 40,205,65 · systemBlue 0,122,255 · systemOrange 255,149,0 ·
// systemYellow 255,204,0 · systemPink 255,45,85 · systemPurple 175,82,222 · systemTeal
// 90,200,250 · systemIndigo 88,86,214. Text in a tint or a faint label colour is made
// readable against what lies behind it (lx::readableTextColor).
namespace LxColor {

QColor secondaryLabel();
QColor tertiaryLabel();
QColor quaternaryLabel();
QColor systemFill();            // "SystemFill"
QColor secondarySystemFill();   // "SecondarySystemFill"
QColor tertiarySystemFill();    // "TertiarySystemFill"
QColor quaternarySystemFill();  // "QuaternarySystemFill"
QColor placeholderText();
QColor link();
QColor separator();
QColor opaqueSeparator();            // "OpaqueSeparator"
QColor systemBackground();           // "SystemBackground"
QColor secondarySystemBackground();  // "SecondarySystemBackground"
QColor tertiarySystemBackground();   // "TertiarySystemBackground"
QColor revisedSystemBackground();
QColor systemGroupedBackground();           // "SystemGroupedBackground"
QColor secondarySystemGroupedBackground();  // "SecondarySystemGroupedBackground"
QColor tertiarySystemGroupedBackground();   // "TertiarySystemGroupedBackground"
QColor systemRed();
QColor systemGreen();
QColor systemBlue();
QColor systemOrange();
QColor systemYellow();
QColor systemPink();
QColor systemPurple();
QColor systemTeal();
QColor systemIndigo();
QColor systemGray();
QColor systemGray2();  // "SystemGray2"
QColor systemGray3();  // "SystemGray3"
QColor systemGray4();  // "SystemGray4"
QColor systemGray5();  // "SystemGray5"
QColor systemGray6();  // "SystemGray6"
// The same colour as `revisedSystemBackground()`.
QColor label();
// What a modal layer lays over the view it covers: black at half opacity, which dims a light
// and a dark palette alike.
QColor dimmingVeil();
// The ring a focused widget draws when its style draws none.
QColor focusIndicator();

// The colour asset `name` of `bundle` (null: the main bundle); transparent when it has none,
// so a missing asset draws nothing.
QColor named(const QString& name, const LxBundle* bundle = nullptr);

}  // namespace LxColor
