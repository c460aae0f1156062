#pragma once

#include <QString>
#include <QWidget>

#include "platform/foundation/Geometry.h"

class WindowBasedHudContentView;

// The busy overlay's panel over its parent window: black at 85 % opacity with rounded corners,
// the content box centred in it, covering the parent's area less `insets` and following the
// parent's size.
//
// While it is visible, no input reaches the parent window: clicks, keys, the wheel and drops on
// any of the window's widgets are dropped, so nothing can start while the work it covers runs.
// It never takes the keyboard focus. Deleted when closed.
class LxHudWindow final : public QWidget {
public:
    LxHudWindow(const QString& title, qreal cornerRadius, const platform::EdgeInsets& insets,
                QWidget* parent);

    WindowBasedHudContentView* contentView() const { return contentView_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void coverParent();
    bool isForCoveredWindow(QObject* receiver) const;

    qreal cornerRadius_;
    platform::EdgeInsets insets_;
    WindowBasedHudContentView* contentView_;
};
