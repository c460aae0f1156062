#include "utility/LxFileHelper.h"

#include <string_view>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/FilePath.h"
#include "utility/StringExtensions.h"

namespace {

constexpr std::string_view kIllegalFileNameCharacters = "/\\?%*|\"<>";

}  // namespace

std::string LxFileHelper::creatingLegalFileName(const std::string& source) {
    // All nine are ASCII, which never occurs inside a multi-byte UTF-8 sequence, so replacing
    // bytes keeps every other character intact.
    std::string result = source;
    for (char& character : result) {
        if (kIllegalFileNameCharacters.find(character) != std::string_view::npos) {
            character = '_';
        }
    }
    return result;
}

bool LxFileHelper::exists(const std::string& at) {
    if (lx::isBlank(at)) {
        return false;
    }
    return platform::itemExists(at);
}

bool LxFileHelper::delete_(const std::string& atPath) {
    // Guarded first: a blank path must never reach a recursive removal.
    if (lx::isBlank(atPath)) {
        return false;
    }
    try {
        platform::removeItem(atPath);
        return true;
    } catch (...) {
        return false;
    }
}

bool LxFileHelper::copy(const std::string& atPath, const std::string& toPath) {
    try {
        platform::copyItem(atPath, toPath);
        return true;
    } catch (...) {
        return false;
    }
}

std::string LxFileHelper::fileExtension(const std::string& of) {
    return platform::pathExtension(of);
}

std::optional<std::string> LxFileHelper::fileNameWithoutExtension(const std::string& of) {
    if (of.empty()) {
        return std::nullopt;
    }
    const std::string name = platform::lastPathComponent(of);
    if (name.empty()) {
        return std::nullopt;
    }
    return platform::deletingPathExtension(name).string();
}

std::optional<platform::Date> LxFileHelper::lastUpdateDate(const std::string& of) {
    return platform::itemModificationDate(of);
}
