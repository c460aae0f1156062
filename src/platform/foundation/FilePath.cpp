#include "platform/foundation/FilePath.h"

#include <system_error>
#include <vector>

#include "platform/foundation/PercentEncoding.h"

namespace platform {
namespace {

constexpr char kSeparator = '/';

}  // namespace

std::string pathWithoutTrailingSeparators(const std::filesystem::path& path) {
    std::string text = path.native();
    while (text.size() > 1 && text.back() == kSeparator) {
        text.pop_back();
    }
    return text;
}

std::string lastPathComponent(const std::filesystem::path& path) {
    const std::string text = pathWithoutTrailingSeparators(path);
    if (text == "/") {
        return text;
    }
    const std::size_t separator = text.rfind(kSeparator);
    return separator == std::string::npos ? text : text.substr(separator + 1);
}

std::string pathExtension(const std::filesystem::path& path) {
    const std::string name = lastPathComponent(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) {
        return {};
    }
    return name.substr(dot + 1);
}

std::filesystem::path deletingPathExtension(const std::filesystem::path& path) {
    const std::string extension = pathExtension(path);
    if (extension.empty()) {
        return path;
    }
    std::string text = pathWithoutTrailingSeparators(path);
    const bool folderForm = text.size() < path.native().size();
    text.resize(text.size() - extension.size() - 1);
    if (folderForm) {
        text += kSeparator;
    }
    return text;
}

std::filesystem::path appendingPathComponent(const std::filesystem::path& base,
                                             std::string_view name, bool isDirectory) {
    // Resolving the name on its own, before it meets the base, is what keeps "..", a leading "/"
    // and names read from untrusted packages from ever reaching above the base.
    std::vector<std::string_view> parts;
    while (!name.empty()) {
        const std::size_t separator = name.find(kSeparator);
        const std::string_view part = name.substr(0, separator);
        name =
            separator == std::string_view::npos ? std::string_view() : name.substr(separator + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }

    std::string text = base.native();
    for (const std::string_view part : parts) {
        if (!text.empty() && text.back() != kSeparator) {
            text += kSeparator;
        }
        text += part;
    }
    if (isDirectory && !text.empty() && text.back() != kSeparator) {
        text += kSeparator;
    }
    return text;
}

std::string fileURLString(const std::filesystem::path& path) {
    std::string absolute = path.native();
    if (absolute.empty() || absolute.front() != kSeparator) {
        std::error_code ignored;
        std::string folder = std::filesystem::current_path(ignored).native();
        if (folder.empty() || folder.back() != kSeparator) {
            folder += kSeparator;
        }
        absolute = folder + absolute;
    }
    return "file://" + percentEncoded(absolute, UrlPart::path);
}

}  // namespace platform
