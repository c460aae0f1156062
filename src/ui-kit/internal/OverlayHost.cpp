#include "ui-kit/internal/OverlayHost.h"

#include <utility>

#include <QEvent>
#include <QGraphicsBlurEffect>
#include <QVBoxLayout>

namespace lx::internal {

OverlayHost::OverlayHost(QWidget* content, platform::qt::Binding<bool> presented, QWidget* parent)
    : QWidget(parent), container_(new QWidget(this)), presented_(std::move(presented)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container_);
    auto* containerLayout = new QVBoxLayout(container_);
    containerLayout->setContentsMargins(0, 0, 0, 0);
    containerLayout->addWidget(content);
    content_ = content;
}

OverlayHost::~OverlayHost() {
    subscription_.cancel();
}

void OverlayHost::watchPresented() {
    subscription_ =
        presented_.changes.sink([this](bool presented) { presentedChanged(presented); });
}

void OverlayHost::stopWatching() {
    subscription_.cancel();
}

void OverlayHost::writePresented(bool presented) {
    // A copy: the write may delete this host, and with it the binding.
    const auto set = presented_.set;
    set(presented);
}

platform::qt::Dismiss OverlayHost::dismissAction() {
    return [host = QPointer<OverlayHost>(this)] {
        if (host) {
            host->writePresented(false);
        }
    };
}

void OverlayHost::coverContent(std::optional<double> blurRadius) {
    if (blurRadius) {
        auto* blur = new QGraphicsBlurEffect;
        blur->setBlurRadius(*blurRadius);
        container_->setGraphicsEffect(blur);
    } else {
        container_->setGraphicsEffect(nullptr);
    }
    container_->setEnabled(false);
}

void OverlayHost::uncoverContent() {
    container_->setGraphicsEffect(nullptr);
    container_->setEnabled(true);
}

bool OverlayHost::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The layers are outside the host's layout: follow their sizes when their contents change.
    if (event->type() == QEvent::LayoutRequest) {
        placeLayers();
    }
    return handled;
}

void OverlayHost::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeLayers();
}

}  // namespace lx::internal
