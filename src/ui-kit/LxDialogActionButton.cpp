#include "ui-kit/LxDialogActionButton.h"

#include <utility>

#include <QAbstractButton>
#include <QPainter>
#include <QSizePolicy>

#include "ui-kit/LxColor.h"
#include "ui-kit/LxContrast.h"

namespace {

constexpr int padding = 6;
constexpr int focusRingWidth = 2;
// A ring is no text: 3:1 against what lies around it, as for any part of a control, and a
// little more, for the pixels its antialiased edges share with the background.
constexpr double focusRingContrast = 3.5;

// Painted by hand: a style sheet or a QPushButton would bring the platform's own button look.
class DialogButton final : public QAbstractButton {
public:
    DialogButton(const LxDialogActionButton& button, QWidget* parent)
        : QAbstractButton(parent), style_(button.style()) {
        setText(button.title());
        setEnabled(button.enabled());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setMinimumWidth(0);
        connect(this, &QAbstractButton::clicked, this, [action = button.action()] {
            if (action) {
                action();
            }
        });
    }

    QSize sizeHint() const override {
        const QSize textSize = fontMetrics().size(Qt::TextSingleLine, text());
        return textSize + QSize(2 * padding, 2 * padding);
    }

    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool pressed = isDown();
        const QColor background =
            pressed ? LxColor::systemBackground() : LxColor::secondarySystemBackground();
        painter.fillRect(rect(), background);
        QColor textColor = pressed ? LxColor::link() : style_.textColor();
        if (!isEnabled()) {
            textColor.setAlphaF(textColor.alphaF() * 0.5F);
        }
        painter.setPen(lx::readableTextColor(textColor, background));
        painter.drawText(rect().adjusted(padding, padding, -padding, -padding),
                         Qt::AlignCenter | Qt::TextSingleLine, text());
        if (hasFocus()) {
            QPen ring(
                lx::readableTextColor(LxColor::focusIndicator(), background, focusRingContrast),
                focusRingWidth);
            painter.setPen(ring);
            painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        }
    }

private:
    LxDialogActionButtonStyle style_;
};

}  // namespace

LxDialogActionButtonStyle LxDialogActionButtonStyle::custom(const QColor& color) {
    return LxDialogActionButtonStyle(Kind::custom, color);
}

QColor LxDialogActionButtonStyle::textColor() const {
    switch (kind_) {
        case Kind::custom:
            return customColor_.value_or(LxColor::label());
        case Kind::cancel:
            return LxColor::secondaryLabel();
        case Kind::done:
            return LxColor::link();
        case Kind::destruction:
            return LxColor::systemRed();
        case Kind::normal:
            break;
    }
    return LxColor::label();
}

LxDialogActionButton::LxDialogActionButton(QString title, std::function<void()> action)
    : LxDialogActionButton(std::move(title), LxDialogActionButtonStyle::normal(), true,
                           std::move(action)) {}

LxDialogActionButton::LxDialogActionButton(QString title, LxDialogActionButtonStyle style,
                                           std::function<void()> action)
    : LxDialogActionButton(std::move(title), std::move(style), true, std::move(action)) {}

LxDialogActionButton::LxDialogActionButton(QString title, LxDialogActionButtonStyle style,
                                           bool enabled, std::function<void()> action)
    : title_(std::move(title)),
      style_(std::move(style)),
      enabled_(enabled),
      action_(std::move(action)) {}

LxDialogActionButton LxDialogActionButton::done(std::function<void()> action) {
    return done(QStringLiteral("Done"), std::move(action));
}

LxDialogActionButton LxDialogActionButton::done(QString title, std::function<void()> action) {
    return LxDialogActionButton(std::move(title), LxDialogActionButtonStyle::done(), true,
                                std::move(action));
}

LxDialogActionButton LxDialogActionButton::styled(LxDialogActionButtonStyle style) const {
    LxDialogActionButton copy = *this;
    copy.style_ = std::move(style);
    return copy;
}

LxDialogActionButton LxDialogActionButton::enabled(bool enabled) const {
    LxDialogActionButton copy = *this;
    copy.enabled_ = enabled;
    return copy;
}

QWidget* LxDialogActionButton::makeWidget(QWidget* parent) const {
    return new DialogButton(*this, parent);
}
