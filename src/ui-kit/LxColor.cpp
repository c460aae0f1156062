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

const QColor white = fromComponents(255, 255, 255, 255);

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
    return namedOr("SystemFill", fromComponents(120, 120, 128, 51));
}

QColor secondarySystemFill() {
    return namedOr("SecondarySystemFill", fromComponents(120, 120, 128, 40));
}

QColor tertiarySystemFill() {
    return namedOr("TertiarySystemFill", fromComponents(118, 118, 128, 30));
}

QColor quaternarySystemFill() {
    return namedOr("QuaternarySystemFill", fromComponents(116, 116, 128, 20));
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
    return namedOr("OpaqueSeparator", fromComponents(198, 198, 200, 255));
}

QColor systemBackground() {
    return namedOr("SystemBackground", white);
}

QColor secondarySystemBackground() {
    return namedOr("SecondarySystemBackground", fromComponents(242, 242, 247, 255));
}

QColor tertiarySystemBackground() {
    return namedOr("TertiarySystemBackground", white);
}

QColor revisedSystemBackground() {
    return paletteColor(QPalette::WindowText);
}

QColor systemGroupedBackground() {
    return namedOr("SystemGroupedBackground", fromComponents(242, 242, 247, 255));
}

QColor secondarySystemGroupedBackground() {
    return namedOr("SecondarySystemGroupedBackground", white);
}

QColor tertiarySystemGroupedBackground() {
    return namedOr("TertiarySystemGroupedBackground", fromComponents(242, 242, 247, 255));
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
    return fromComponents(142, 142, 147, 255);
}

QColor systemGray2() {
    return namedOr("SystemGray2", fromComponents(174, 174, 178, 255));
}

QColor systemGray3() {
    return namedOr("SystemGray3", fromComponents(199, 199, 204, 255));
}

QColor systemGray4() {
    return namedOr("SystemGray4", fromComponents(209, 209, 214, 255));
}

QColor systemGray5() {
    return namedOr("SystemGray5", fromComponents(229, 229, 234, 255));
}

QColor systemGray6() {
    return namedOr("SystemGray6", fromComponents(242, 242, 247, 255));
}

QColor label() {
    return revisedSystemBackground();
}

QColor named(const QString& name, const LxBundle* bundle) {
    return lx::internal::bundleOrMain(bundle).colorNamed(name).value_or(QColor(Qt::transparent));
}

}  // namespace LxColor
