#include "ui-app/SourceProjectDrop.h"

#include <array>
#include <string>

#include <QFile>

namespace {

const std::array<std::string, 2> kSupportedProjectFileExtensions = {"orb", "orbx"};

// ASCII is enough: no other letter lower-cases to one of the letters of "orb" or "orbx".
std::string asciiLowercased(std::string text) {
    for (char& character : text) {
        if (character >= 'A' && character <= 'Z') {
            character = static_cast<char>(character - 'A' + 'a');
        }
    }
    return text;
}

}  // namespace

bool isSupportedProjectFile(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    if (extension.empty()) {
        return false;
    }
    extension = asciiLowercased(extension.substr(1));
    for (const std::string& supported : kSupportedProjectFileExtensions) {
        if (extension == supported) {
            return true;
        }
    }
    return false;
}

// The file name's bytes as the file system holds them, also where they are not UTF-8.
std::optional<std::filesystem::path> firstDroppedFile(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            return std::filesystem::path(QFile::encodeName(url.toLocalFile()).toStdString());
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> droppedProjectFile(const QList<QUrl>& urls) {
    auto file = firstDroppedFile(urls);
    if (!file || !isSupportedProjectFile(*file)) {
        return std::nullopt;
    }
    return file;
}

bool acceptsDrop(const QMimeData& data, bool problemsShown) {
    return !problemsShown && data.hasUrls() && firstDroppedFile(data.urls()).has_value();
}
