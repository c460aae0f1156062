#include "ui-app/OutputProfileRowView.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>

#include "ui-app/ViewStyle.h"
#include "ui-kit/LxColor.h"

namespace {

constexpr int kSegmentHorizontalPadding = 6;
constexpr int kSegmentVerticalPadding = 2;

}  // namespace

OutputProfileRowView::OutputProfileRowView(const std::optional<QString>& title,
                                           std::optional<int> titleWidth, QWidget* content,
                                           QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kHorizontalPadding, kVerticalPadding, kHorizontalPadding,
                               kVerticalPadding);
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

// As a box layout without a spacing of its own asks the style: one spacing for the layout, or,
// where the style leaves that open, the spacing between two labels.
int OutputProfileRowView::contentSpacing(const QWidget& widget) {
    QStyle* style = widget.style();
    const int spacing = style->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &widget);
    if (spacing >= 0) {
        return spacing;
    }
    return std::max(
        0, style->combinedLayoutSpacing(QSizePolicy::Label, QSizePolicy::Label, Qt::Horizontal,
                                        nullptr, const_cast<QWidget*>(&widget)));
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
    lx::setTextColor(label,
                     lx::readableTextColor(LxColor::secondaryLabel(), LxColor::systemBackground()));
    layout->addWidget(label);
    layout->addStretch(1);
}
