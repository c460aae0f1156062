#include "ui-kit/internal/DialogLayers.h"

#include <cmath>
#include <numbers>

#include <QGraphicsEffect>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "ui-kit/LxColor.h"

namespace lx::internal {

namespace {

QPainterPath roundedPath(const QRectF& rect) {
    QPainterPath path;
    path.addRoundedRect(rect, dialogCornerRadius, dialogCornerRadius);
    return path;
}

}  // namespace

DialogVeil::DialogVeil(QWidget* parent) : QWidget(parent) {}

void DialogVeil::setOpacity(double opacity) {
    opacity_ = opacity;
    update();
}

void DialogVeil::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor color = LxColor::dimmingVeil();
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity_));
    painter.fillRect(rect(), color);
}

namespace {

// Draws the frame, children included, through a rounded shape filled antialiased: a widget
// mask or a clip keeps or drops whole pixels, and so steps the corners.
class RoundedCornersEffect final : public QGraphicsEffect {
protected:
    void draw(QPainter* painter) override {
        QPoint offset;
        const QPixmap picture = sourcePixmap(Qt::LogicalCoordinates, &offset, NoPad);
        if (picture.isNull()) {
            return;
        }
        const QSizeF size = picture.deviceIndependentSize();
        QBrush brush(picture);
        QTransform placement = QTransform::fromTranslate(offset.x(), offset.y());
        placement.scale(1 / picture.devicePixelRatio(), 1 / picture.devicePixelRatio());
        brush.setTransform(placement);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(brush);
        painter->drawPath(roundedPath(QRectF(offset, size)));
        painter->restore();
    }
};

}  // namespace

DialogCardFrame::DialogCardFrame(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setGraphicsEffect(new RoundedCornersEffect);
}

void DialogCardFrame::setCard(QWidget* card) {
    if (card_ != nullptr) {
        layout()->removeWidget(card_);
        card_->hide();
        card_->deleteLater();
    }
    card_ = card;
    if (card_ != nullptr) {
        layout()->addWidget(card_);
        card_->show();
    }
    // The hint cached for the frame in its parent's layout is the old card's.
    updateGeometry();
}

DialogCardTransition::DialogCardTransition(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DialogCardTransition::setPicture(const QPixmap& picture, const QRect& target) {
    picture_ = picture;
    target_ = target;
    update();
}

void DialogCardTransition::setProgress(double scale, double opacity) {
    scale_ = scale;
    opacity_ = opacity;
    update();
}

void DialogCardTransition::paintEvent(QPaintEvent*) {
    if (picture_.isNull() || scale_ <= 0 || opacity_ <= 0) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setOpacity(opacity_);
    const QPointF center = QRectF(target_).center();
    painter.translate(center);
    painter.scale(scale_, scale_);
    painter.translate(-center);
    painter.setClipPath(roundedPath(target_));
    painter.drawPixmap(target_.topLeft(), picture_);
}

double springProgress(double t) {
    constexpr double response = 0.55;
    constexpr double damping = 0.6;
    const double omega = 2 * std::numbers::pi / response;
    const double dampedOmega = omega * std::sqrt(1 - damping * damping);
    if (t >= 1) {
        return 1;
    }
    const double decay = std::exp(-damping * omega * t);
    return 1 - decay * (std::cos(dampedOmega * t) +
                        damping * omega / dampedOmega * std::sin(dampedOmega * t));
}

}  // namespace lx::internal
