#include "LxOrbinDocument/Manager/internal/PackageImages.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include <QColor>
#include <QImage>
#include <QPainter>

#include "LxLog/Log.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "ui-kit/image/ImageEncoding.h"

namespace lx::internal {

namespace {

// JPEG has no alpha channel; left to the encoder, transparent pixels would take whatever colour
// they happen to store, usually black. White is what a viewer shows behind them.
QImage flattened(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return image;
    }
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(QColor(Qt::white));
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    painter.end();
    return opaque;
}

}  // namespace

bool isPackageImageId(const std::string& imageId, std::string_view logSeed) {
    if (imageId.empty()) {
        return false;
    }
    if (OrbinDocumentManager::ProjectWorkingFolder::isUsableImageId(imageId)) {
        return true;
    }
    // The id comes from a document that may have been crafted to reach files elsewhere.
    Log::warning([&] {
        return std::string(logSeed) + " [" + Log::escaped(imageId) +
               "] is left out as its id is not a file name";
    });
    return false;
}

bool isRegularFile(const LxFile& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file.url(), error);
}

bool convertPngToJpeg(const LxFile& png, const LxFile& jpeg) {
    const std::optional<QImage> image = lx::imageWithContentsOfFile(png.url());
    return image && lx::write(flattened(*image), jpeg.url(), lx::BitmapImageFileType::jpeg);
}

}  // namespace lx::internal
