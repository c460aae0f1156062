#pragma once

#include <vector>

#include <QSize>
#include <QWidget>

#include "platform/foundation/Geometry.h"

class QPainter;
class QVariantAnimation;

// One dot of the spinner's ring: white, at `rotationDegree` degrees on the ring of radius
// `spinnerRadius` (0 is the right-hand point, negative angles run counter-clockwise on screen),
// drawn with `opacity`.
struct DefaultSpinnerDot {
    double rotationDegree = 0;
    double opacity = 1;
    platform::CGFloat spinnerRadius = 0;

    // ⌈k × r × 0.25⌉, k falling from 1.5 for small rings to 0.6 for rings over 320 points.
    platform::CGFloat diameter() const;
    // Draws the dot; the painter's origin is the spinner's centre.
    void paint(QPainter& painter) const;

    friend bool operator==(const DefaultSpinnerDot&, const DefaultSpinnerDot&) = default;
};

// The kit's activity indicator: a ring of white dots fading clockwise from the brightest, the
// whole ring turning clockwise once every two seconds while the spinner is visible. The HUD
// shows a new one at each presentation, so every presentation starts its turn at 0 degrees.
//
// `size` is the diameter of the ring through the dots' centres; it decides everything else:
// size / 40 + 11 dots (truncated), the dots' diameters, angles in whole degrees and opacities
// 1 − i/n. A size that is negative or not a number is taken as 0, one above `maxSize` as
// `maxSize`. The widget is as large as the ring with its dots.
class LxDefaultSpinner final : public QWidget {
public:
    static constexpr platform::CGFloat maxSize = 8192;
    static constexpr int turnMilliseconds = 2000;

    explicit LxDefaultSpinner(platform::CGFloat size, QWidget* parent = nullptr);
    ~LxDefaultSpinner() override;

    // The dots of a spinner of that size, brightest first.
    static std::vector<DefaultSpinnerDot> dots(platform::CGFloat size);

    // `size` as given, made usable (QWidget::size() is the widget's own).
    platform::CGFloat spinnerSize() const { return size_; }
    // The ring's current rotation in degrees, clockwise on screen.
    double ringAngle() const { return ringAngle_; }
    // The turn: runs while the spinner is visible, stopped while it is hidden.
    QVariantAnimation* rotation() const { return rotation_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    const platform::CGFloat size_;
    const std::vector<DefaultSpinnerDot> dots_;
    QVariantAnimation* rotation_;
    double ringAngle_ = 0;
};
