#include "ui-app/ViewStyle.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QStyle>

#include "ui-kit/LxColor.h"

namespace {

// 10 points beside a body text of 13 points.
constexpr qreal kFootnoteScale = 10.0 / 13.0;
constexpr int kHeaderVerticalPadding = 8;
constexpr int kHeaderHorizontalPadding = 12;

double linearChannel(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor& color) {
    return 0.2126 * linearChannel(color.redF()) + 0.7152 * linearChannel(color.greenF()) +
           0.0722 * linearChannel(color.blueF());
}

QColor composited(const QColor& over, const QColor& background) {
    const double alpha = over.alphaF();
    const auto mix = [alpha](double top, double bottom) {
        return static_cast<float>(top * alpha + bottom * (1 - alpha));
    };
    return QColor::fromRgbF(mix(over.redF(), background.redF()),
                            mix(over.greenF(), background.greenF()),
                            mix(over.blueF(), background.blueF()));
}

}  // namespace

namespace lx {

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The faintest ink that still reads keeps the look of the preferred colour as far as it can.
QColor readableTextColor(const QColor& preferred, const QColor& background,
                         double minimumContrast) {
    const QColor opaqueBackground = composited(background, Qt::white);
    QColor ink = preferred;
    ink.setAlpha(255);
    if (contrastRatio(ink, opaqueBackground) < minimumContrast) {
        const QColor black(Qt::black);
        const QColor white(Qt::white);
        ink = contrastRatio(black, opaqueBackground) >= contrastRatio(white, opaqueBackground)
                  ? black
                  : white;
    }
    for (int alpha = preferred.alpha(); alpha < 255; ++alpha) {
        ink.setAlpha(alpha);
        const QColor shown = composited(ink, opaqueBackground);
        if (contrastRatio(shown, opaqueBackground) >= minimumContrast) {
            return shown;
        }
    }
    ink.setAlpha(255);
    return ink;
}

QLabel* verbatimLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QFont headlineFont() {
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
}

QFont footnoteFont() {
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * kFootnoteScale);
    } else {
        font.setPixelSize(qMax(1, qRound(font.pixelSize() * kFootnoteScale)));
    }
    return font;
}

int defaultPadding(const QWidget* widget) {
    return widget->style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, widget);
}

QWidget* makePaneHeader(const QString& title, QWidget* action) {
    auto* header = new QWidget;
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(kHeaderHorizontalPadding, kHeaderVerticalPadding,
                               kHeaderHorizontalPadding, kHeaderVerticalPadding);
    QLabel* heading = verbatimLabel(title);
    heading->setFont(headlineFont());
    setTextColor(heading, LxColor::systemTeal());
    layout->addWidget(heading);
    layout->addStretch(1);
    layout->addWidget(action);
    return header;
}

// One antialiased clip rounds both the band and the rest; a widget mask would give jagged
// corners.
void paintPane(QWidget& pane, const QWidget& header) {
    QPainter painter(&pane);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(pane.rect()), kPaneCornerRadius, kPaneCornerRadius);
    painter.setClipPath(shape);
    painter.fillRect(pane.rect(), LxColor::systemBackground());
    const QPoint headerTop = header.mapTo(&pane, QPoint(0, 0));
    painter.fillRect(QRect(0, headerTop.y(), pane.width(), header.height()),
                     LxColor::secondarySystemBackground());
}

}  // namespace lx
