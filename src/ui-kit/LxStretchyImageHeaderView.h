#pragma once

#include <functional>
#include <vector>

#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include "platform/foundation/Geometry.h"

class QPainter;

// A header image for the top of a scrolling view: at rest it shows the image at its height,
// filling the width (cropped to fill); scrolled up it fades out over its own height; pulled
// down (its top below the window's top edge) it grows to fill the gap above it.
//
// Its position, minY, is the header's top in its window: 0 at the window's top edge, positive
// below it, negative once scrolled above it. It follows every move and resize of the header and
// its ancestors and every scroll of an enclosing scroll area, whether or not the header is
// repainted, and hands minY to `yOffsetDidChanged` on each such layout pass (the first when
// shown included), equal values included. A callback that changes the layout does not
// re-enter it.
//
// Pulled down, the image is drawn outside the header's own rectangle, from the window's top edge
// to the header's bottom, over whatever lies above the header: by a layer that the header places
// in its window while pulled and hides otherwise.
class LxStretchyImageHeaderView final : public QWidget {
public:
    // Where the image goes in the header's coordinates, and how opaque it is.
    struct Layout {
        QRectF imageRect;
        double opacity = 0;

        friend bool operator==(const Layout&, const Layout&) = default;
    };

    // At rest or scrolled up (minY ≤ 0): the header's own rectangle at opacity minY / height
    // + 1 (0 or less draws nothing). Pulled down: from the window's top edge to the header's
    // bottom, opaque. A height of 0 (or one that is not a positive number) draws nothing.
    static Layout headerLayout(platform::CGFloat minY, platform::CGFloat height,
                               platform::CGFloat width);

    LxStretchyImageHeaderView(QImage image, platform::CGFloat height,
                              std::function<void(platform::CGFloat)> yOffsetDidChanged = {},
                              QWidget* parent = nullptr);
    ~LxStretchyImageHeaderView() override;

    // The header's top in its window now.
    platform::CGFloat minY() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchAncestors();
    void unwatchAncestors();
    void layOut();
    // Shows the pulled-down layer over the gap above the header, or hides it at rest.
    void placeLayer(const Layout& layout);
    void paintImage(QPainter& painter, const Layout& layout) const;

    const QImage image_;
    const platform::CGFloat height_;
    const std::function<void(platform::CGFloat)> yOffsetDidChanged_;
    // In the window, not in the header: the header's own painting is clipped to it. Owned by
    // the window as a child; deleted with the header.
    QPointer<QWidget> layer_;
    std::vector<QPointer<QWidget>> watched_;
    std::vector<QMetaObject::Connection> scrollConnections_;
    bool layingOut_ = false;
};
