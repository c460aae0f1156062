#include "ui-kit/LxStretchyImageHeaderView.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

// Qt's widgets are at most this tall.
constexpr platform::CGFloat maxHeight = QWIDGETSIZE_MAX;

platform::CGFloat usableHeight(platform::CGFloat height) {
    if (std::isnan(height) || height < 0) {
        return 0;
    }
    return std::min(height, maxHeight);
}

// The image scaled by the larger of the two ratios, so it covers `target`, and centred on it.
QRectF filling(const QSizeF& image, const QRectF& target) {
    const double scale = std::max(target.width() / image.width(), target.height() / image.height());
    QRectF placed(QPointF(0, 0), image * scale);
    placed.moveCenter(target.center());
    return placed;
}

// A transparent sheet over part of the window that leaves its painting to another widget.
class PaintedLayer final : public QWidget {
public:
    PaintedLayer(QWidget* window, std::function<void(QPainter&)> paint)
        : QWidget(window), paint_(std::move(paint)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paint_(painter);
    }

private:
    const std::function<void(QPainter&)> paint_;
};

}  // namespace

LxStretchyImageHeaderView::Layout LxStretchyImageHeaderView::headerLayout(platform::CGFloat minY,
                                                                          platform::CGFloat height,
                                                                          platform::CGFloat width) {
    if (!(height > 0) || !(width > 0) || std::isnan(minY)) {
        return {};
    }
    if (minY <= 0) {
        return {QRectF(0, 0, width, height), minY / height + 1};
    }
    return {QRectF(0, -minY, width, height + minY), 1};
}

LxStretchyImageHeaderView::LxStretchyImageHeaderView(
    QImage image, platform::CGFloat height,
    std::function<void(platform::CGFloat)> yOffsetDidChanged, QWidget* parent)
    : QWidget(parent),
      image_(std::move(image)),
      height_(usableHeight(height)),
      yOffsetDidChanged_(std::move(yOffsetDidChanged)) {
    setFixedHeight(static_cast<int>(std::ceil(height_)));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

LxStretchyImageHeaderView::~LxStretchyImageHeaderView() {
    unwatchAncestors();
    delete layer_;
}

platform::CGFloat LxStretchyImageHeaderView::minY() const {
    return mapTo(window(), QPoint(0, 0)).y();
}

void LxStretchyImageHeaderView::paintEvent(QPaintEvent*) {
    // From the position now: a scroll may have moved the header without a layout pass of ours.
    // Pulled down, the layer draws the same pixels over this and the gap above.
    const Layout layout = headerLayout(minY(), height_, width());
    QPainter painter(this);
    paintImage(painter, layout);
}

void LxStretchyImageHeaderView::paintImage(QPainter& painter, const Layout& layout) const {
    if (layout.opacity <= 0 || layout.imageRect.isEmpty() || image_.isNull()) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(std::min(layout.opacity, 1.0));
    painter.setClipRect(layout.imageRect);
    painter.drawImage(filling(image_.size(), layout.imageRect), image_);
}

void LxStretchyImageHeaderView::placeLayer(const Layout& layout) {
    const bool pulled = layout.imageRect.top() < 0 && !layout.imageRect.isEmpty();
    QWidget* const host = window();
    if (!pulled || !isVisible() || host == this) {
        if (layer_) {
            layer_->hide();
        }
        return;
    }
    if (!layer_) {
        layer_ = new PaintedLayer(host, [this](QPainter& painter) {
            const Layout now = headerLayout(minY(), height_, width());
            painter.translate(-now.imageRect.topLeft());
            paintImage(painter, now);
        });
    } else if (layer_->parentWidget() != host) {
        layer_->setParent(host);
    }
    const QPointF topLeft = QPointF(mapTo(host, QPoint(0, 0))) + layout.imageRect.topLeft();
    layer_->setGeometry(QRectF(topLeft, layout.imageRect.size()).toAlignedRect());
    layer_->show();
    layer_->raise();
    layer_->update();
}

void LxStretchyImageHeaderView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    watchAncestors();
    layOut();
}

void LxStretchyImageHeaderView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (layer_) {
        layer_->hide();
    }
}

void LxStretchyImageHeaderView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    layOut();
}

void LxStretchyImageHeaderView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

bool LxStretchyImageHeaderView::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange && isVisible()) {
        watchAncestors();
    }
    return QWidget::event(event);
}

bool LxStretchyImageHeaderView::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            layOut();
            break;
        case QEvent::ParentChange:
            watchAncestors();
            layOut();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

// A scroll area moves its content without the header moving within it, and may scroll by
// copying pixels instead of repainting: only its ancestors' moves and its scroll bars tell.
void LxStretchyImageHeaderView::watchAncestors() {
    unwatchAncestors();
    for (QWidget* ancestor = parentWidget(); ancestor != nullptr;
         ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
        watched_.emplace_back(ancestor);
        if (auto* scrollArea = dynamic_cast<QAbstractScrollArea*>(ancestor)) {
            for (QScrollBar* bar :
                 {scrollArea->verticalScrollBar(), scrollArea->horizontalScrollBar()}) {
                scrollConnections_.push_back(
                    QObject::connect(bar, &QScrollBar::valueChanged, this, [this] { layOut(); }));
            }
        }
        if (ancestor->isWindow()) {
            break;
        }
    }
}

void LxStretchyImageHeaderView::unwatchAncestors() {
    for (const QPointer<QWidget>& ancestor : watched_) {
        if (ancestor) {
            ancestor->removeEventFilter(this);
        }
    }
    watched_.clear();
    for (const QMetaObject::Connection& connection : scrollConnections_) {
        QObject::disconnect(connection);
    }
    scrollConnections_.clear();
}

void LxStretchyImageHeaderView::layOut() {
    if (!isVisible() || layingOut_) {
        return;
    }
    layingOut_ = true;
    const QPointer<LxStretchyImageHeaderView> self(this);
    if (yOffsetDidChanged_) {
        yOffsetDidChanged_(minY());
    }
    if (!self) {
        return;  // the callback took the header away
    }
    layingOut_ = false;
    placeLayer(headerLayout(minY(), height_, width()));
    update();
}
