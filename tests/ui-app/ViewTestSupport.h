#pragma once

#include <set>
#include <string>
#include <vector>

#include <QDir>
#include <QImage>
#include <QObject>
#include <QString>
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

// Renders `view` offscreen, checks that the picture has `view`'s size and shows something (more
// than one colour), and saves it as "<name>.png" under the build folder for people to look at.
inline void renderAndKeep(QWidget& view, const std::string& name) {
    const QImage picture = view.grab().toImage();
    EXPECT_EQ(picture.size(), view.size() * picture.devicePixelRatio());
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
