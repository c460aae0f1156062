#include "platform/http/Url.h"

#include <curl/curl.h>
#include <memory>

#include "platform/foundation/FilePath.h"

namespace platform {

namespace {

struct UrlHandleDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlHandleDeleter>;

std::optional<std::string> part(CURLU* handle, CURLUPart which, unsigned int flags = 0) {
    char* text = nullptr;
    if (curl_url_get(handle, which, &text, flags) != CURLUE_OK || text == nullptr) {
        return std::nullopt;
    }
    std::string copy(text);
    curl_free(text);
    return copy;
}

// libcurl accepts some of these in places; a URL we hand on must not carry any.
bool hasSpaceOrControl(std::string_view text) {
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte <= 0x20 || byte == 0x7f) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<Url> Url::make(std::string_view text) {
    const auto separator = text.find("://");
    if (separator == std::string_view::npos || separator == 0 || hasSpaceOrControl(text)) {
        return std::nullopt;
    }
    const UrlHandle handle(curl_url());
    if (!handle) {
        return std::nullopt;
    }
    const std::string copy(text);
    if (curl_url_set(handle.get(), CURLUPART_URL, copy.c_str(), CURLU_NON_SUPPORT_SCHEME) !=
        CURLUE_OK) {
        return std::nullopt;
    }
    Url url;
    url.text_ = copy;
    url.scheme_ = part(handle.get(), CURLUPART_SCHEME).value_or("");
    url.host_ = part(handle.get(), CURLUPART_HOST);
    if (const auto port = part(handle.get(), CURLUPART_PORT)) {
        url.port_ = std::stoi(*port);  // libcurl answers only digits below 65536
    }
    url.path_ = part(handle.get(), CURLUPART_PATH).value_or("/");
    url.query_ = part(handle.get(), CURLUPART_QUERY);
    return url;
}

Url Url::fileURL(const std::filesystem::path& path) {
    // fileURLString percent-encodes every byte a URL may not hold as it is.
    return *make(fileURLString(path));
}

std::optional<std::filesystem::path> Url::filePath() const {
    if (!isFileURL()) {
        return std::nullopt;
    }
    const UrlHandle handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, text_.c_str(),
                                CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        return std::nullopt;
    }
    const auto decoded = part(handle.get(), CURLUPART_PATH, CURLU_URLDECODE);
    if (!decoded) {
        return std::nullopt;
    }
    return std::filesystem::path(*decoded);
}

}  // namespace platform
