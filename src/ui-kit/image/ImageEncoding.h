#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include <QIODevice>
#include <QImage>

#include "ui-kit/image/LxImage.h"

// Images to and from files: encoding a QImage in a bitmap file format, writing it to a file,
// and loading images from files and from the application's compiled-in resources.
//
// Nothing here throws or logs; failure is an absent value or false. Only a failed write prints
// one line on standard output. Encoding uses each format's own defaults (JPEG quality 75; alpha
// is dropped, not composited). A format without an encoder here (GIF, JPEG 2000, and TIFF unless
// Qt's TIFF plugin is installed) gives nothing. Everything may run on any thread, with or without
// a Qt application object, and never touches widgets or pixmaps.
//
// Example:
//   if (const auto image = lx::imageWithContentsOfFile(folder / "A1.png")) {
//       lx::write(*image, folder / "A1.jpg", lx::BitmapImageFileType::jpeg);
//   }
namespace lx {

// Bitmap file formats, numbered as the desktop platform numbers them.
enum class BitmapImageFileType { tiff = 0, bmp = 1, gif = 2, jpeg = 3, png = 4, jpeg2000 = 5 };

// The file bytes of `image` in `fileType`; nothing for a null image or a format that cannot be
// written.
std::optional<std::vector<std::uint8_t>> toData(
    const QImage& image, BitmapImageFileType fileType = BitmapImageFileType::png);

// The same for the first representation of `image`, and only when that is a bitmap: nothing
// is rendered to make one, and later representations are not looked at.
std::optional<std::vector<std::uint8_t>> toData(
    const LxImage& image, BitmapImageFileType fileType = BitmapImageFileType::png);

// Encodes `image` and writes the bytes as the whole file at `to`, replacing a file there;
// missing parent folders are not created. A failed encoding answers false silently; a failed
// write answers false and prints "Failed to save image to file <path>". The write is atomic:
// a failure leaves an existing file as it was.
bool write(const QImage& image, const std::filesystem::path& to,
           BitmapImageFileType fileType = BitmapImageFileType::png);

// The same for the first representation of `image` when it is a bitmap; false otherwise.
bool write(const LxImage& image, const std::filesystem::path& to,
           BitmapImageFileType fileType = BitmapImageFileType::png);

// The image decoded from `device` (open for reading), its format told by its content and its
// EXIF orientation applied; nothing when it is not an image or claims more than about 50
// million pixels (decoding allocates the whole bitmap a header claims).
std::optional<QImage> decodedImage(QIODevice& device);

// The image decoded from the file, its format told by its content and its EXIF orientation
// applied; nothing when the file is missing, unreadable, not an image, or claims more than
// about 50 million pixels.
std::optional<QImage> imageWithContentsOfFile(const std::filesystem::path& path);

// The image of the application's resource "<name>.<type>" (type "png" unless given; none or ""
// looks up "<name>" alone), from the compiled-in resources at ":/"; nothing when there is no
// such resource or it is not an image.
std::optional<QImage> fromBundleFile(std::string_view filepathinbundle,
                                     std::optional<std::string_view> ofType = "png");
// The same lookup of a name that carries its own extension, or names a file without one.
std::optional<QImage> fromBundleFileFullPath(std::string_view filepathinbundle);

}  // namespace lx
