#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QList>
#include <QMimeData>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

// Helpers of the view tests.

// The widgets of type T below `root`, in creation order. (Our views declare no meta-object, so
// findChildren<T*> would answer every widget.)
template <class T>
std::vector<T*> descendants(const QObject& root) {
    std::vector<T*> found;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (auto* typed = dynamic_cast<T*>(widget)) {
            found.push_back(typed);
        }
    }
    return found;
}

// Checks that `picture` shows something (more than one colour) and saves it as "<name>.png" under
// the build folder for people to look at.
inline void keepPicture(const QImage& picture, const std::string& name) {
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height() && colours.size() < 2; y += 3) {
        for (int x = 0; x < picture.width() && colours.size() < 2; x += 3) {
            colours.insert(picture.pixel(x, y));
        }
    }
    EXPECT_GE(colours.size(), 2u) << name << " renders blank";
    const QString folder = QStringLiteral(ORBIN_RENDER_DIR);
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(picture.save(folder + "/" + QString::fromStdString(name) + ".png"));
}

// Renders `view` offscreen, checks that the picture has `view`'s size, and keeps it.
inline void renderAndKeep(QWidget& view, const std::string& name) {
    const QImage picture = view.grab().toImage();
    EXPECT_EQ(picture.size(), view.size() * picture.devicePixelRatio());
    keepPicture(picture, name);
}

// Drags `urls` over `target` and drops them, offering a copy and proposing a move; answers
// whether the drop was taken and with which action.
inline std::pair<bool, Qt::DropAction> dropFiles(QWidget& target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint point = target.rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(&target, &enter);
    QDropEvent dropped(QPointF(point), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                       Qt::NoModifier);
    dropped.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(&target, &dropped);
    return {enter.isAccepted() && dropped.isAccepted(), dropped.dropAction()};
}
