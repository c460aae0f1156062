#pragma once

#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QList>
#include <QMimeData>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

#include "support/ViewRendering.h"

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
