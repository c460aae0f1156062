#include "ui-app/PaneScrollArea.h"

#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include "ui-kit/LxColor.h"
#include "ui-kit/LxContrast.h"

namespace {

constexpr double kHandleInkAlpha = 0.4;
constexpr int kFocusRingWidth = 2;
constexpr double kFocusRingContrast = 3.5;

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

// Lies over the whole area, scroll bar included, and draws the ring while the area has the
// focus; mouse events go through it.
class PaneScrollArea::FocusRing final : public QWidget {
public:
    explicit FocusRing(PaneScrollArea* area) : QWidget(area), area_(area) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (!area_->hasFocus()) {
            return;
        }
        QPainter painter(this);
        QPen ring(
            lx::readableTextColor(LxColor::focusIndicator(),
                                  area_->palette().color(QPalette::Window), kFocusRingContrast),
            kFocusRingWidth);
        ring.setJoinStyle(Qt::MiterJoin);
        painter.setPen(ring);
        const qreal inset = kFocusRingWidth / 2.0;
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }

private:
    PaneScrollArea* area_;
};

PaneScrollArea::PaneScrollArea(QWidget* parent)
    : QScrollArea(parent), focusRing_(new FocusRing(this)) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBar(new PaneScrollBar(Qt::Vertical));
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
}

PaneScrollArea::~PaneScrollArea() = default;

void PaneScrollArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    focusRing_->setGeometry(rect());
    focusRing_->raise();
}

void PaneScrollArea::focusInEvent(QFocusEvent* event) {
    QScrollArea::focusInEvent(event);
    focusRing_->raise();
    focusRing_->update();
}

void PaneScrollArea::focusOutEvent(QFocusEvent* event) {
    QScrollArea::focusOutEvent(event);
    focusRing_->update();
}
