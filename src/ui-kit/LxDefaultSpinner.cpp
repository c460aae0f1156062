#include "ui-kit/LxDefaultSpinner.h"

#include <algorithm>
#include <cmath>

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

namespace {

// A size that is not a finite, non-negative number would make a negative or absurd dot count;
// a ring larger than any screen only costs dots and memory.
platform::CGFloat usableSize(platform::CGFloat size) {
    if (std::isnan(size) || size < 0) {
        return 0;
    }
    return std::min(size, LxDefaultSpinner::maxSize);
}

double dotScale(platform::CGFloat radius) {
    if (radius > 320) {
        return 0.6;
    }
    if (radius > 150) {
        return 0.8;
    }
    if (radius > 90) {
        return 1.0;
    }
    if (radius > 75) {
        return 1.15;
    }
    if (radius > 60) {
        return 1.3;
    }
    if (radius > 30) {
        return 1.375;
    }
    return 1.5;
}

}  // namespace

platform::CGFloat DefaultSpinnerDot::diameter() const {
    return std::ceil(dotScale(spinnerRadius) * spinnerRadius * 0.25);
}

void DefaultSpinnerDot::paint(QPainter& painter) const {
    const double radius = diameter() / 2;
    painter.save();
    painter.rotate(rotationDegree);
    painter.setOpacity(opacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(spinnerRadius, 0), radius, radius);
    painter.restore();
}

LxDefaultSpinner::LxDefaultSpinner(platform::CGFloat size, QWidget* parent)
    : QWidget(parent),
      size_(usableSize(size)),
      dots_(dots(size_)),
      rotation_(new QVariantAnimation(this)) {
    rotation_->setStartValue(0.0);
    rotation_->setEndValue(360.0);
    rotation_->setDuration(turnMilliseconds);
    rotation_->setEasingCurve(QEasingCurve::Linear);
    rotation_->setLoopCount(-1);
    QObject::connect(rotation_, &QVariantAnimation::valueChanged, this,
                     [this](const QVariant& angle) {
                         ringAngle_ = angle.toDouble();
                         update();
                     });
}

LxDefaultSpinner::~LxDefaultSpinner() {
    rotation_->stop();
}

std::vector<DefaultSpinnerDot> LxDefaultSpinner::dots(platform::CGFloat size) {
    const platform::CGFloat usable = usableSize(size);
    const int count = static_cast<int>(usable / 40) + 11;
    std::vector<DefaultSpinnerDot> dots;
    dots.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        // Whole degrees, truncated: the ring is not always evenly spaced (n = 13: 0, -27, -55).
        const int degrees = (-index * 360) / count;
        dots.push_back({static_cast<double>(degrees),
                        1 - static_cast<double>(index) / static_cast<double>(count), usable * 0.5});
    }
    return dots;
}

QSize LxDefaultSpinner::sizeHint() const {
    const double diameter = dots_.empty() ? 0 : dots_.front().diameter();
    const int extent = static_cast<int>(std::ceil(size_ + diameter));
    return {extent, extent};
}

void LxDefaultSpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(QRectF(rect()).center());
    painter.rotate(ringAngle_);
    for (const DefaultSpinnerDot& dot : dots_) {
        dot.paint(painter);
    }
}

void LxDefaultSpinner::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    rotation_->start();
}

void LxDefaultSpinner::hideEvent(QHideEvent* event) {
    // Turning while hidden only wakes the event loop.
    rotation_->stop();
    QWidget::hideEvent(event);
}
