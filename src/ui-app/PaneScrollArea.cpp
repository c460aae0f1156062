#include "ui-app/PaneScrollArea.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include "ui-kit/LxColor.h"
#include "ui-kit/LxContrast.h"

namespace {

constexpr double kHandleInkAlpha = 0.4;
constexpr double kFocusRingContrast = 3.0;

// A style draws its own handle, often a shade of the button colour barely apart from the
// groove; this one draws the handle in a faint text colour made to read on the groove, where
// the style places it.
class PaneScrollBar final : public QScrollBar {
public:
    explicit PaneScrollBar(Qt::Orientation orientation) : QScrollBar(orientation) {}

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QColor groove = palette().color(QPalette::Window);
        QColor faint = palette().color(QPalette::WindowText);
        faint.setAlphaF(static_cast<float>(kHandleInkAlpha));
        const QColor handle = lx::readableTextColor(faint, groove);

        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(rect(), groove);
        for (const auto& [control, arrow] :
             {std::pair{QStyle::SC_ScrollBarSubLine, QStyle::PE_IndicatorArrowUp},
              std::pair{QStyle::SC_ScrollBarAddLine, QStyle::PE_IndicatorArrowDown}}) {
            QStyleOption arrowOption = option;
            arrowOption.rect =
                style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this);
            arrowOption.palette.setColor(QPalette::ButtonText, handle);
            arrowOption.palette.setColor(QPalette::WindowText, handle);
            style()->drawPrimitive(arrow, &arrowOption, &painter, this);
        }
        const QRectF slider = QRectF(style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                             QStyle::SC_ScrollBarSlider, this))
                                  .adjusted(2, 1, -2, -1);
        const qreal radius = slider.width() / 2;
        QPainterPath shape;
        shape.addRoundedRect(slider, radius, radius);
        painter.fillPath(shape, handle);
    }
};

}  // namespace

PaneScrollArea::PaneScrollArea(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBar(new PaneScrollBar(Qt::Vertical));
    setContentsMargins(kFocusRingWidth, kFocusRingWidth, kFocusRingWidth, kFocusRingWidth);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
}

// The area's own surface shows only in the margin around the viewport and the scroll bar.
bool PaneScrollArea::event(QEvent* event) {
    const bool handled = QScrollArea::event(event);
    if (event->type() == QEvent::Paint && hasFocus()) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // A ring is no text: 3:1 against what lies around it, as for any part of a control.
        QPen ring(lx::readableTextColor(LxColor::focusIndicator(),
                                        palette().color(QPalette::Window), kFocusRingContrast),
                  kFocusRingWidth);
        ring.setJoinStyle(Qt::MiterJoin);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        const qreal inset = kFocusRingWidth / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
    return handled;
}

void PaneScrollArea::focusInEvent(QFocusEvent* event) {
    QScrollArea::focusInEvent(event);
    update();
}

void PaneScrollArea::focusOutEvent(QFocusEvent* event) {
    QScrollArea::focusOutEvent(event);
    update();
}
