#include "ui-app/OutputProfileRowView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

#include "ui-app/ViewStyle.h"
#include "ui-kit/LxColor.h"

namespace {

constexpr int kRowHorizontalPadding = 6;
constexpr int kRowVerticalPadding = 4;
constexpr int kSegmentHorizontalPadding = 6;
constexpr int kSegmentVerticalPadding = 2;

}  // namespace

OutputProfileRowView::OutputProfileRowView(const std::optional<QString>& title,
                                           std::optional<int> titleWidth, QWidget* content,
                                           QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kRowHorizontalPadding, kRowVerticalPadding, kRowHorizontalPadding,
                               kRowVerticalPadding);
    if (title) {
        QLabel* label = lx::verbatimLabel(*title);
        label->setWordWrap(true);
        if (titleWidth) {
            label->setFixedWidth(*titleWidth);
        }
        layout->addWidget(label);
    }
    if (content->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag) {
        layout->addWidget(content, 1);
    } else {
        layout->addWidget(content);
        layout->addStretch(1);
    }
}

void OutputProfileRowView::paintEvent(QPaintEvent* /*event*/) {
    QPainter(this).fillRect(rect(), LxColor::systemFill());
}

OutputProfileSegmentView::OutputProfileSegmentView(const QString& title, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kSegmentHorizontalPadding, kSegmentVerticalPadding,
                               kSegmentHorizontalPadding, kSegmentVerticalPadding);
    QLabel* label = lx::verbatimLabel(title);
    lx::setTextColor(label, LxColor::secondaryLabel());
    layout->addWidget(label);
    layout->addStretch(1);
}
