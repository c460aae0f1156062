#pragma once

#include <QColor>
#include <QString>

#include "ui-kit/LxBundle.h"

// The kit's palette: every colour a view uses that is not a literal.
//
// Nothing is cached: each call builds the colour anew, so a changed application palette or a
// colour asset added later shows on the next call.
//
// Named colours are the main bundle's colour asset of the name in quotes, else the fixed
// fallback given (0-255 per component, alpha included; fallbacks do not follow the palette).
//
// System colours come from the application palette (QGuiApplication::palette(), active group):
//   label, revisedSystemBackground  WindowText
//   secondaryLabel                  WindowText at 50 % of its alpha
//   tertiaryLabel                   WindowText at 26 %
//   quaternaryLabel                 WindowText at 10 %
//   separator                       WindowText at 10 %
//   placeholderText                 PlaceholderText
//   link                            Link
// The system tints have no palette role; they are fixed (light appearance): systemRed
// 255,59,48 · systemGreen 40,205,65 · systemBlue 0,122,255 · systemOrange 255,149,0 ·
// systemYellow 255,204,0 · systemPink 255,45,85 · systemPurple 175,82,222 · systemTeal
// 90,200,250 · systemIndigo 88,86,214 · systemGray 142,142,147.
namespace LxColor {

QColor secondaryLabel();
QColor tertiaryLabel();
QColor quaternaryLabel();
QColor systemFill();            // "SystemFill", else 120,120,128,51
QColor secondarySystemFill();   // "SecondarySystemFill", else 120,120,128,40
QColor tertiarySystemFill();    // "TertiarySystemFill", else 118,118,128,30
QColor quaternarySystemFill();  // "QuaternarySystemFill", else 116,116,128,20
QColor placeholderText();
QColor link();
QColor separator();
QColor opaqueSeparator();            // "OpaqueSeparator", else 198,198,200,255
QColor systemBackground();           // "SystemBackground", else white
QColor secondarySystemBackground();  // "SecondarySystemBackground", else 242,242,247,255
QColor tertiarySystemBackground();   // "TertiarySystemBackground", else white
QColor revisedSystemBackground();
QColor systemGroupedBackground();           // "SystemGroupedBackground", else 242,242,247,255
QColor secondarySystemGroupedBackground();  // "SecondarySystemGroupedBackground", else white
QColor
tertiarySystemGroupedBackground();  // "TertiarySystemGroupedBackground", else 242,242,247,255
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
QColor systemGray2();  // "SystemGray2", else 174,174,178,255
QColor systemGray3();  // "SystemGray3", else 199,199,204,255
QColor systemGray4();  // "SystemGray4", else 209,209,214,255
QColor systemGray5();  // "SystemGray5", else 229,229,234,255
QColor systemGray6();  // "SystemGray6", else 242,242,247,255
// The same colour as `revisedSystemBackground()`.
QColor label();

// The colour asset `name` of `bundle` (null: the main bundle); transparent when it has none,
// so a missing asset draws nothing.
QColor named(const QString& name, const LxBundle* bundle = nullptr);

}  // namespace LxColor
