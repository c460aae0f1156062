#pragma once

#include <QPixmap>
#include <QRect>
#include <QWidget>

// The layers a dialog host stacks over its content: the veil, the frame that rounds the card,
// and the layer that draws the card while it springs in or shrinks away.
namespace lx::internal {

inline constexpr int dialogCornerRadius = 12;

// Covers the host in LxColor::dimmingVeil(), its opacity times the fade's progress.
class DialogVeil final : public QWidget {
public:
    explicit DialogVeil(QWidget* parent);

    void setOpacity(double opacity);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double opacity_ = 1.0;
};

// Holds the card and draws it, its children included, in a rounded rectangle with antialiased
// corners.
class DialogCardFrame final : public QWidget {
public:
    explicit DialogCardFrame(QWidget* parent);

    // Puts `card` in the frame; the one it held before is hidden and deleted later (it may be
    // inside a click of its own).
    void setCard(QWidget* card);
    QWidget* card() const { return card_; }

private:
    QWidget* card_ = nullptr;
};

// Draws a picture of the card at `target`, scaled about its centre and faded, with the card's
// rounded corners. Lets mouse events through.
class DialogCardTransition final : public QWidget {
public:
    explicit DialogCardTransition(QWidget* parent);

    void setPicture(const QPixmap& picture, const QRect& target);
    void setProgress(double scale, double opacity);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QRect target_;
    double scale_ = 1.0;
    double opacity_ = 1.0;
};

// A spring of response 0.55 s and damping fraction 0.6 over a one-second animation: it
// overshoots by about 9.5 % near 0.34 s, settles within 1 % by 0.7 s, and ends at exactly 1.
double springProgress(double t);

}  // namespace lx::internal
