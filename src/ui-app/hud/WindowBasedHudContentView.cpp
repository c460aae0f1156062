#include "ui-app/hud/WindowBasedHudContentView.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QVBoxLayout>

namespace {

constexpr int kMinimumWidth = 100;
constexpr int kMinimumHeight = 50;
constexpr qreal kCornerRadius = 8;

}  // namespace

// The overlay is black at any system appearance, so the box keeps its own fixed colours
// instead of the palette's.
WindowBasedHudContentView::WindowBasedHudContentView(const QString& title, QWidget* parent)
    : QWidget(parent), titleLabel_(new QLabel(title, this)) {
    titleLabel_->setTextFormat(Qt::PlainText);
    titleLabel_->setAlignment(Qt::AlignCenter);
    QPalette palette = titleLabel_->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    titleLabel_->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel_, 0, Qt::AlignCenter);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
}

QString WindowBasedHudContentView::title() const {
    return titleLabel_->text();
}

void WindowBasedHudContentView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath box;
    box.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(box, Qt::white);
}
