#include "ui-kit/LxLazyView.h"

#include <utility>

#include <QHideEvent>
#include <QShowEvent>
#include <QVBoxLayout>

LxLazyView::LxLazyView(std::function<QWidget*()> build, QWidget* parent)
    : QWidget(parent), build_(std::move(build)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void LxLazyView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    discardContent();
    content_ = build_();
    if (content_ != nullptr) {
        layout()->addWidget(content_);
        content_->show();
    }
}

void LxLazyView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        discardContent();
    }
}

void LxLazyView::discardContent() {
    if (content_ == nullptr) {
        return;
    }
    layout()->removeWidget(content_);
    content_->hide();
    // The view may be hiding because a button of its content was clicked.
    content_->deleteLater();
    content_ = nullptr;
}
