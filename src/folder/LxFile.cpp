#include "folder/LxFile.h"

#include <optional>
#include <system_error>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/FilePath.h"
#include "platform/foundation/FileSystemError.h"

std::string LxFile::pathString() const {
    return platform::pathWithoutTrailingSeparators(_url);
}

std::string LxFile::fileName() const {
    return platform::lastPathComponent(_url);
}

std::string LxFile::fileNameWithoutExtension() const {
    return platform::lastPathComponent(platform::deletingPathExtension(_url));
}

std::string LxFile::fileExtension() const {
    return platform::pathExtension(_url);
}

bool LxFile::exists() const {
    return platform::itemExists(_url);
}

void LxFile::copy(const LxFile& to) const {
    copy(to.url());
}

void LxFile::copy(const std::filesystem::path& to) const {
    platform::copyItem(_url, to);
}

void LxFile::move(const LxFile& to) const {
    move(to.url());
}

void LxFile::move(const std::filesystem::path& to) const {
    platform::moveItem(_url, to);
}

void LxFile::delete_() const {
    platform::removeItem(_url);
}

void LxFile::write(std::string_view string, platform::StringEncoding encoding) const {
    const std::optional<std::vector<std::uint8_t>> bytes = platform::encodeText(string, encoding);
    if (!bytes) {
        throw platform::FileSystemError("Could not write", pathString(),
                                        std::make_error_code(std::errc::illegal_byte_sequence));
    }
    platform::writeFileAtomically(
        pathString(),
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

std::string LxFile::read(platform::StringEncoding encoding) const {
    std::optional<std::string> text = platform::decodeText(readData(), encoding);
    if (!text) {
        throw platform::FileSystemError("Could not read", pathString(),
                                        std::make_error_code(std::errc::illegal_byte_sequence));
    }
    return std::move(*text);
}

void LxFile::write(std::span<const std::uint8_t> data) const {
    platform::writeFileContents(_url, data);
}

std::vector<std::uint8_t> LxFile::readData() const {
    return platform::readFileContents(_url);
}

std::string LxFile::description() const {
    return "LxFile(_url: " + platform::fileURLString(_url) + ")";
}

std::ostream& operator<<(std::ostream& stream, const LxFile& file) {
    return stream << file.description();
}
