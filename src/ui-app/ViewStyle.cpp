#include "ui-app/ViewStyle.h"

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
