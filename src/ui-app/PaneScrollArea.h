#pragma once

#include <QScrollArea>

// The scroll area of a pane or a sheet: no frame of its own, its content over whatever its
// parent paints, a vertical scroll bar whose handle reads against its groove (4.5:1), and a
// ring in LxColor::focusIndicator() around it while it has the keyboard focus, which the style
// draws for no frameless area; the ring lies over the area's edge. Horizontal scrolling is off; the
// content takes the width.
class PaneScrollArea : public QScrollArea {
public:
    explicit PaneScrollArea(QWidget* parent = nullptr);
    ~PaneScrollArea() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    class FocusRing;

    FocusRing* focusRing_;
};
