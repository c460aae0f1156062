#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QColor>
#include <QImage>

#include "folder/LxFile.h"
#include "platform/foundation/Geometry.h"

// Small conveniences of the kit's views: colours from packed integers, edge insets changed one
// edge at a time, images read from files.
namespace lx {

// The colour of the low 32 bits of `argb`: alpha in bits 24-31, red 16-23, green 8-15, blue
// 0-7; higher bits are ignored. The alpha byte counts as written, so any value below 2^24 is
// fully transparent.
QColor argbHex(std::int64_t argb);

// Copies of `insets` with one edge replaced.
platform::EdgeInsets topChanged(const platform::EdgeInsets& insets, platform::CGFloat to);
platform::EdgeInsets leadingChanged(const platform::EdgeInsets& insets, platform::CGFloat to);
platform::EdgeInsets bottomChanged(const platform::EdgeInsets& insets, platform::CGFloat to);
platform::EdgeInsets trailingChanged(const platform::EdgeInsets& insets, platform::CGFloat to);

// The image in the file, of any format Qt reads; none when the file is missing, is a folder or
// holds no readable image.
std::optional<QImage> imageFromFile(const std::string& path);
std::optional<QImage> imageFromFile(const LxFile& file);
std::optional<QImage> loadImage(const LxFile& file);

}  // namespace lx
