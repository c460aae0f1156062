#pragma once

#include <set>
#include <string>

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

// Offscreen renderings of views, kept under the build folder (ORBIN_RENDER_DIR, defined by the
// test target) for people to look at.

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
