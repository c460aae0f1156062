#include "ui-kit/ViewExtensions.h"

#include <QImageReader>
#include <QString>

namespace lx {

namespace {

float byteAt(std::uint64_t bits, int shift) {
    return static_cast<float>(static_cast<double>((bits >> shift) & 0xFFU) / 255.0);
}

platform::EdgeInsets withEdge(platform::EdgeInsets insets,
                              platform::CGFloat platform::EdgeInsets::*edge, platform::CGFloat to) {
    insets.*edge = to;
    return insets;
}

}  // namespace

QColor argbHex(std::int64_t argb) {
    // Through unsigned: shifting a negative number is not defined the same way everywhere.
    const auto bits = static_cast<std::uint64_t>(argb);
    return QColor::fromRgbF(byteAt(bits, 16), byteAt(bits, 8), byteAt(bits, 0), byteAt(bits, 24));
}

platform::EdgeInsets topChanged(const platform::EdgeInsets& insets, platform::CGFloat to) {
    return withEdge(insets, &platform::EdgeInsets::top, to);
}

platform::EdgeInsets leadingChanged(const platform::EdgeInsets& insets, platform::CGFloat to) {
    return withEdge(insets, &platform::EdgeInsets::leading, to);
}

platform::EdgeInsets bottomChanged(const platform::EdgeInsets& insets, platform::CGFloat to) {
    return withEdge(insets, &platform::EdgeInsets::bottom, to);
}

platform::EdgeInsets trailingChanged(const platform::EdgeInsets& insets, platform::CGFloat to) {
    return withEdge(insets, &platform::EdgeInsets::trailing, to);
}

std::optional<QImage> imageFromFile(const std::string& path) {
    // A null QImage is Qt's answer to every failure; callers get none instead.
    QImageReader reader(QString::fromStdString(path));
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    return image;
}

std::optional<QImage> imageFromFile(const LxFile& file) {
    return imageFromFile(file.pathString());
}

std::optional<QImage> loadImage(const LxFile& file) {
    return imageFromFile(file);
}

}  // namespace lx
