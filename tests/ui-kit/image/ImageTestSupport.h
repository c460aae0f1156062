#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

#include "ui-kit/image/LxImage.h"

// Small images for the image tests, and their pixels read by row from the top, as Qt stores
// them (the images' own coordinates run upwards).
namespace image_test {

inline QImage solid(int width, int height, const QColor& color) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// The upper half of the rows in `top`, the lower half in `bottom`.
inline LxImage halves(int width, int height, const QColor& top, const QColor& bottom) {
    QImage image = solid(width, height, top);
    QPainter(&image).fillRect(0, height / 2, width, height - height / 2, bottom);
    return LxImage(image);
}

inline const QImage& pixels(const LxImage& image) {
    return image.representations().front().pixels;
}

inline QColor pixel(const LxImage& image, int x, int rowFromTop) {
    return pixels(image).pixelColor(x, rowFromTop);
}

inline bool isOpaque(const QColor& color, const QColor& expected) {
    return color.alpha() == 255 && color.rgb() == expected.rgb();
}

}  // namespace image_test
