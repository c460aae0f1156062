#pragma once

#include <algorithm>
#include <cmath>
#include <concepts>
#include <optional>
#include <string>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include "platform/foundation/Geometry.h"
#include "ui-kit/LxBundle.h"
#include "ui-kit/LxColor.h"
#include "utility/RawRepresentable.h"

// Enumerations of asset names: a type whose raw values are texts (lx::RawRepresentable with a
// std::string raw value) declares that its cases name images, colours or fonts, and gets the
// operations below.
//
// Example:
//   enum class AppColor { accent };   // raw value "Accent", through lx::RawValueTraits
//   template <> inline constexpr bool lx::isLxNamedColor<AppColor> = true;
//   const QColor accent = lx::color(AppColor::accent);
namespace lx {

template <class T>
inline constexpr bool isLxImageAsset = false;
template <class T>
inline constexpr bool isLxNamedColor = false;
template <class T>
inline constexpr bool isLxFontAsset = false;

template <class T>
concept NamedByText =
    RawRepresentable<T> && std::same_as<typename RawValueTraits<T>::RawValue, std::string>;

namespace internal {

template <NamedByText T>
QString assetName(const T& asset) {
    return QString::fromStdString(RawValueTraits<T>::rawValue(asset));
}

}  // namespace internal

}  // namespace lx

template <class T>
concept LxImageAsset = lx::NamedByText<T> && lx::isLxImageAsset<T>;
template <class T>
concept LxNamedColor = lx::NamedByText<T> && lx::isLxNamedColor<T>;
template <class T>
concept LxFontAsset = lx::NamedByText<T> && lx::isLxFontAsset<T>;

namespace lx {

// The image of that name in `bundle` (null: the main bundle); a null image when it has none.
template <LxImageAsset T>
QImage load(const T& asset, const LxBundle* bundle = nullptr) {
    return internal::bundleOrMain(bundle).image(internal::assetName(asset));
}

// The colour asset of that name; transparent when the bundle has none.
template <LxNamedColor T>
QColor color(const T& asset, const LxBundle* bundle = nullptr) {
    return LxColor::named(internal::assetName(asset), bundle);
}

// The colour asset of that name; none when the bundle has none.
template <LxNamedColor T>
std::optional<QColor> uiColor(const T& asset, const LxBundle* bundle = nullptr) {
    return internal::bundleOrMain(bundle).colorNamed(internal::assetName(asset));
}

// The font family of that name at `size` points (logical pixels), rounded to a whole number
// from 1 to 4096; a family the system lacks falls back to the default one.
// (Not an overload of `load`: `load(asset, 0)` would not know a size from a bundle.)
template <LxFontAsset T>
QFont loadWithSize(const T& asset, platform::CGFloat size) {
    // Qt's pixel sizes are whole numbers, and a size out of range is refused with a warning.
    const double pixels = std::isnan(size) ? 1.0 : std::clamp(size, 1.0, 4096.0);
    QFont font(internal::assetName(asset));
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    return font;
}

}  // namespace lx
