#include "ui-kit/image/ImageEncoding.h"

#include <cstdio>
#include <exception>
#include <string>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSize>
#include <QString>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/UnicodeText.h"

namespace lx {

namespace {

// Images come from untrusted packages; a header can claim any size, and decoding allocates
// the whole bitmap up front. 50 million pixels is far beyond any photo or cover a plan holds.
constexpr qint64 kMaximumPixelCount = 50'000'000;

// Qt's writer name of each format; none for a value outside the enumeration.
const char* writerFormat(BitmapImageFileType fileType) {
    switch (fileType) {
        case BitmapImageFileType::tiff:
            return "tiff";
        case BitmapImageFileType::bmp:
            return "bmp";
        case BitmapImageFileType::gif:
            return "gif";
        case BitmapImageFileType::jpeg:
            return "jpeg";
        case BitmapImageFileType::png:
            return "png";
        case BitmapImageFileType::jpeg2000:
            return "jp2";
    }
    return nullptr;
}

std::optional<QImage> readImage(const QString& fileName) {
    // Reading through an opened file keeps the reader to that one file: given a name it would
    // also try the name with image suffixes appended. With no name, the content alone tells the
    // format, so a package's "<id>.png" that holds JPEG data still decodes.
    // Only regular files: opening a pipe or device would wait for a writer that never comes.
    QFile file(fileName);
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return decodedImage(file);
}

QString resourcePath(std::string_view name, std::optional<std::string_view> type) {
    std::string path = ":/";
    path += name;
    if (type && !type->empty()) {
        path += '.';
        path += *type;
    }
    return QString::fromStdString(path);
}

void printWriteFailure(const std::filesystem::path& path) {
    // Printed directly rather than logged: image operations stay below the logging layer. The
    // name may be an image id read from a package, so its controls are escaped as a log line's.
    // One fwrite keeps the line whole when several threads print.
    std::string line = "Failed to save image to file ";
    platform::appendWithoutControls(line, path.native(), false);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> toData(const QImage& image, BitmapImageFileType fileType) {
    const char* format = writerFormat(fileType);
    if (image.isNull() || format == nullptr) {
        return std::nullopt;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(bytes.cbegin(), bytes.cend());
}

std::optional<std::vector<std::uint8_t>> toData(const LxImage& image,
                                                BitmapImageFileType fileType) {
    const QImage* bitmap = image.firstBitmap();
    return bitmap != nullptr ? toData(*bitmap, fileType) : std::nullopt;
}

bool write(const QImage& image, const std::filesystem::path& to, BitmapImageFileType fileType) {
    const auto data = toData(image, fileType);
    if (!data) {
        return false;
    }
    try {
        platform::writeFileAtomically(
            to, std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
    } catch (const std::exception&) {
        // A full disk or a missing folder is the usual cause; nothing here may throw.
        printWriteFailure(to);
        return false;
    }
    return true;
}

bool write(const LxImage& image, const std::filesystem::path& to, BitmapImageFileType fileType) {
    const QImage* bitmap = image.firstBitmap();
    return bitmap != nullptr && write(*bitmap, to, fileType);
}

std::optional<QImage> imageWithContentsOfFile(const std::filesystem::path& path) {
    return readImage(QFile::decodeName(QByteArray::fromStdString(path.native())));
}

std::optional<QImage> fromBundleFile(std::string_view filepathinbundle,
                                     std::optional<std::string_view> ofType) {
    return readImage(resourcePath(filepathinbundle, ofType));
}

std::optional<QImage> fromBundleFileFullPath(std::string_view filepathinbundle) {
    return fromBundleFile(filepathinbundle, std::nullopt);
}

std::optional<QImage> decodedImage(QIODevice& device) {
    QImageReader reader(&device);
    // Rotating by the EXIF tag keeps the picture upright once it is re-encoded without one.
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaximumPixelCount) {
        return std::nullopt;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return std::nullopt;
    }
    return image;
}

}  // namespace lx
