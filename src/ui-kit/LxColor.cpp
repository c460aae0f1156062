#include "ui-kit/LxColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace LxColor {

namespace {

// The 0-255 components are divided as doubles, alpha too: 51 is an alpha of 0.2.
QColor fromComponents(int red, int green, int blue, int alpha) {
    return QColor::fromRgbF(static_cast<float>(red / 255.0), static_cast<float>(green / 255.0),
                            static_cast<float>(blue / 255.0), static_cast<float>(alpha / 255.0));
}

QColor namedOr(const char* name, const QColor& fallback) {
    return LxBundle::main().colorNamed(QString::fromLatin1(name)).value_or(fallback);
}

QColor paletteColor(QPalette::ColorRole role, double alphaFactor = 1.0) {
    QColor color = QGuiApplication::palette().color(QPalette::Active, role);
    color.setAlphaF(static_cast<float>(color.alphaF() * alphaFactor));
    return color;
}

// The palette's Base moved `towardText` of the way to its Text (0: Base, 1: Text), opaque: the
// greys and tinted backgrounds of a light palette, and their counterparts in a dark one.
QColor baseTowardText(double towardText, double alpha = 1.0) {
    const QColor base = paletteColor(QPalette::Base);
    const QColor text = paletteColor(QPalette::Text);
    const auto mix = [towardText](float from, float to) {
        return static_cast<float>(from + (to - from) * towardText);
    };
    return QColor::fromRgbF(mix(base.redF(), text.redF()), mix(base.greenF(), text.greenF()),
                            mix(base.blueF(), text.blueF()), static_cast<float>(alpha));
}

// The share of the way from Base to Text that each grey of the light ramp lies at.
constexpr double kGray = 0.44;
constexpr double kGray2 = 0.32;
constexpr double kGray3 = 0.22;
constexpr double kGray4 = 0.18;
constexpr double kGray5 = 0.10;
constexpr double kGray6 = 0.05;
// Fills are a middle grey laid thinly over whatever lies behind.
constexpr double kFill = 0.5;

}  // namespace

QColor secondaryLabel() {
    return paletteColor(QPalette::WindowText, 0.5);
}

QColor tertiaryLabel() {
    return paletteColor(QPalette::WindowText, 0.26);
}

QColor quaternaryLabel() {
    return paletteColor(QPalette::WindowText, 0.1);
}

QColor systemFill() {
    return namedOr("SystemFill", baseTowardText(kFill, 0.2));
}

QColor secondarySystemFill() {
    return namedOr("SecondarySystemFill", baseTowardText(kFill, 0.16));
}

QColor tertiarySystemFill() {
    return namedOr("TertiarySystemFill", baseTowardText(kFill, 0.12));
}

QColor quaternarySystemFill() {
    return namedOr("QuaternarySystemFill", baseTowardText(kFill, 0.08));
}

QColor placeholderText() {
    return paletteColor(QPalette::PlaceholderText);
}

QColor link() {
    return paletteColor(QPalette::Link);
}

QColor separator() {
    return paletteColor(QPalette::WindowText, 0.1);
}

QColor opaqueSeparator() {
    return namedOr("OpaqueSeparator", baseTowardText(kGray3));
}

QColor systemBackground() {
    return namedOr("SystemBackground", paletteColor(QPalette::Base));
}

QColor secondarySystemBackground() {
    return namedOr("SecondarySystemBackground", baseTowardText(kGray6));
}

QColor tertiarySystemBackground() {
    return namedOr("TertiarySystemBackground", paletteColor(QPalette::Base));
}

QColor revisedSystemBackground() {
    return paletteColor(QPalette::WindowText);
}

QColor systemGroupedBackground() {
    return namedOr("SystemGroupedBackground", baseTowardText(kGray6));
}

QColor secondarySystemGroupedBackground() {
    return namedOr("SecondarySystemGroupedBackground", paletteColor(QPalette::Base));
}

QColor tertiarySystemGroupedBackground() {
    return namedOr("TertiarySystemGroupedBackground", baseTowardText(kGray6));
}

QColor systemRed() {
    return fromComponents(255, 59, 48, 255);
}

QColor systemGreen() {
    return fromComponents(40, 205, 65, 255);
}

QColor systemBlue() {
    return fromComponents(0, 122, 255, 255);
}

QColor systemOrange() {
    return fromComponents(255, 149, 0, 255);
}

QColor systemYellow() {
    return fromComponents(255, 204, 0, 255);
}

QColor systemPink() {
    return fromComponents(255, 45, 85, 255);
}

QColor systemPurple() {
    return fromComponents(175, 82, 222, 255);
}

QColor systemTeal() {
    return fromComponents(90, 200, 250, 255);
}

QColor systemIndigo() {
    return fromComponents(88, 86, 214, 255);
}

QColor systemGray() {
    return baseTowardText(kGray);
}

QColor systemGray2() {
    return namedOr("SystemGray2", baseTowardText(kGray2));
}

QColor systemGray3() {
    return namedOr("SystemGray3", baseTowardText(kGray3));
}

QColor systemGray4() {
    return namedOr("SystemGray4", baseTowardText(kGray4));
}

QColor systemGray5() {
    return namedOr("SystemGray5", baseTowardText(kGray5));
}

QColor systemGray6() {
    return namedOr("SystemGray6", baseTowardText(kGray6));
}

QColor label() {
    return revisedSystemBackground();
}

QColor dimmingVeil() {
    return fromComponents(0, 0, 0, 128);
}

QColor focusIndicator() {
    return paletteColor(QPalette::Highlight);
}

QColor named(const QString& name, const LxBundle* bundle) {
    return lx::internal::bundleOrMain(bundle).colorNamed(name).value_or(QColor(Qt::transparent));
}

}  // namespace LxColor
