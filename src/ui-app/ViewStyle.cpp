#include "ui-app/ViewStyle.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace {

// 10 points beside a body text of 13 points.
constexpr qreal kFootnoteScale = 10.0 / 13.0;

}  // namespace

namespace lx {

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

}  // namespace lx
