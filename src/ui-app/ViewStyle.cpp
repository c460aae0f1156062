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
    setTextColor(heading,
                 readableTextColor(LxColor::systemTeal(), LxColor::secondarySystemBackground()));
    layout->addWidget(heading);
    layout->addStretch(1);
    // The band is as high with the action hidden as with it shown.
    QSizePolicy policy = action->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    action->setSizePolicy(policy);
    layout->addWidget(action);
    return header;
}

QColor sheetBackground(const QWidget* sheet) {
    return sheet->palette().color(QPalette::Active, QPalette::Window);
}

QColor paneRowBackground() {
    return composited(LxColor::systemFill(), LxColor::systemBackground());
}

// A row's fill is the pane's background made a little darker (lighter in a dark palette): text
// that reads on it reads on the bare background too.
void usePaneColours(QWidget* pane) {
    const QColor row = paneRowBackground();
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Window, LxColor::systemBackground());
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = readableTextColor(palette.color(group, QPalette::Text), row);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::PlaceholderText,
                         readableTextColor(palette.color(group, QPalette::PlaceholderText),
                                           palette.color(group, QPalette::Base)));
    }
    pane->setPalette(palette);
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
