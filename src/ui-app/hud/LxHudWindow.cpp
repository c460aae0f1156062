#include "ui-app/hud/LxHudWindow.h"

#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QPainter>
#include <QPainterPath>

#include "platform/qt/GeometryConversions.h"
#include "ui-app/hud/WindowBasedHudContentView.h"
#include "utility/GeometryExtensions.h"

namespace {

constexpr double kPanelAlpha = 0.85;

bool isInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
    }
}

}  // namespace

// A child widget rather than a window of its own: a separate frameless window cannot be placed
// over another one everywhere (Wayland leaves placement to the compositor), while a child always
// lies exactly over its parent and moves with it. It watches the whole application, because the
// keyboard focus and a drag's target may be any widget of the covered window.
LxHudWindow::LxHudWindow(const QString& title, qreal cornerRadius,
                         const platform::EdgeInsets& insets, QWidget* parent)
    : QWidget(parent),
      cornerRadius_(cornerRadius),
      insets_(insets),
      contentView_(new WindowBasedHudContentView(title, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QGridLayout(this);
    layout->addWidget(contentView_, 0, 0, Qt::AlignCenter);
    coverParent();
    QCoreApplication::instance()->installEventFilter(this);
}

bool LxHudWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!isVisible()) {
        return false;
    }
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        coverParent();
        return false;
    }
    if (isInput(event->type()) && isForCoveredWindow(watched)) {
        // A drag event left ignored tells the drag that nothing here takes it.
        event->ignore();
        return true;
    }
    return false;
}

void LxHudWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor panel(Qt::black);
    panel.setAlphaF(kPanelAlpha);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius_, cornerRadius_);
    painter.fillPath(shape, panel);
}

void LxHudWindow::coverParent() {
    const QWidget* parent = parentWidget();
    const platform::CGRect frame =
        lx::inseted(platform::qt::fromQRectF(QRectF(parent->rect())), insets_);
    setGeometry(platform::qt::toQRectF(frame).toRect());
    raise();
}

bool LxHudWindow::isForCoveredWindow(QObject* receiver) const {
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    return widget != nullptr && widget->window() == window();
}
