#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// An absolute URL: a scheme, then "://" and the rest ("https://example.org/a?b=1",
// "file:///tmp/x.png"), checked when it is made and kept as the text it was made from.
//
// Parts are read as written in the text, percent-encoding included; only `filePath()` decodes.
// Two URLs are equal when their texts are.
//
// Example:
//   const auto url = platform::Url::make("http://127.0.0.1:8080/api?a=1");
//   url->port();   // 8080
class Url {
public:
    // None for a text that is not an absolute URL with "://" (relative references, "mailto:",
    // the empty text) or that holds spaces or control characters.
    static std::optional<Url> make(std::string_view text);

    // The file URL of `path`, read from the current folder when relative.
    static Url fileURL(const std::filesystem::path& path);

    const std::string& string() const { return text_; }
    // In lower case: "http", "file".
    const std::string& scheme() const { return scheme_; }
    const std::optional<std::string>& host() const { return host_; }
    const std::optional<int>& port() const { return port_; }
    // "/" when the text has no path.
    const std::string& path() const { return path_; }
    const std::optional<std::string>& query() const { return query_; }

    bool isFileURL() const { return scheme_ == "file"; }
    // The decoded path of a file URL; none for other schemes.
    std::optional<std::filesystem::path> filePath() const;

    bool operator==(const Url& other) const { return text_ == other.text_; }

private:
    Url() = default;

    std::string text_;
    std::string scheme_;
    std::optional<std::string> host_;
    std::optional<int> port_;
    std::string path_;
    std::optional<std::string> query_;
};

}  // namespace platform
