#include "network/LxHttpClient.h"

#include <array>
#include <chrono>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/PercentEncoding.h"
#include "platform/http/HttpSession.h"

namespace {

using HttpError = LxHttpClient::HttpError;

constexpr std::array<std::string_view, 8> kMethodTexts = {"GET",  "PUT",     "POST",  "DELETE",
                                                          "HEAD", "OPTIONS", "TRACE", "CONNECT"};

// The session's idea of an error as the client's optional underlying error.
std::optional<platform::AnyError> anyError(
    const std::optional<platform::http::TransferError>& error) {
    if (!error) {
        return std::nullopt;
    }
    return platform::AnyError(*error);
}

std::string queryText(const std::vector<LxHttpClient::QueryItem>& items) {
    std::string query;
    for (const auto& item : items) {
        if (!query.empty()) {
            query += '&';
        }
        query += platform::percentEncoded(item.name, platform::UrlPart::queryItem);
        if (item.value) {
            query += '=' + platform::percentEncoded(*item.value, platform::UrlPart::queryItem);
        }
    }
    return query;
}

std::string appendingPathComponent(std::string base, std::string_view component) {
    while (!component.empty() && component.front() == '/') {
        component.remove_prefix(1);
    }
    if (component.empty()) {
        return base;
    }
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    return base + platform::percentEncoded(component, platform::UrlPart::path);
}

}  // namespace

std::optional<LxHttpClient::Method> LxHttpClient::Method::fromRawValue(std::string_view text) {
    for (std::size_t index = 0; index < kMethodTexts.size(); ++index) {
        if (kMethodTexts[index] == text) {
            return Method(static_cast<Case>(index));
        }
    }
    return std::nullopt;
}

std::string_view LxHttpClient::Method::rawValue() const {
    return kMethodTexts[static_cast<std::size_t>(value_)];
}

LxHttpClient::HttpError::HttpError(Case kind, std::string description,
                                   std::optional<int> statusCode,
                                   std::optional<platform::AnyError> underlying)
    : platform::Error(std::move(description)),
      case_(kind),
      statusCode_(statusCode),
      underlying_(std::move(underlying)) {}

HttpError HttpError::invalidResponseCode(int code) {
    return HttpError(Case::invalidResponseCode, "Invalid response code: " + std::to_string(code),
                     code);
}

HttpError HttpError::decodingFailure(platform::AnyError error) {
    std::string description = "Failed to decode json: " + error.localizedDescription();
    return HttpError(Case::decodingFailure, std::move(description), std::nullopt, std::move(error));
}

HttpError HttpError::downloadFailure(std::optional<platform::AnyError> error) {
    std::string description =
        "Failed to download file: " + (error ? error->localizedDescription() : "unknown error");
    return HttpError(Case::downloadFailure, std::move(description), std::nullopt, std::move(error));
}

HttpError HttpError::unknow() {
    return HttpError(Case::unknow, "Unknow error");
}

HttpError HttpError::invalidUrl() {
    return HttpError(Case::invalidUrl, "Invalid URL");
}

HttpError HttpError::invalidResponseType() {
    return HttpError(Case::invalidResponseType, "Invalid response type");
}

HttpError HttpError::emptyResponse() {
    return HttpError(Case::emptyResponse, "Empty content from URL");
}

namespace {

platform::Url validBaseUrl(std::string_view text) {
    auto url = platform::Url::make(text);
    if (!url) {
        throw HttpError::invalidUrl();
    }
    return std::move(*url);
}

}  // namespace

LxHttpClient::Url::Url(std::string_view baseUrl) : baseUrl_(validBaseUrl(baseUrl)) {}

platform::Url LxHttpClient::Url::url(std::optional<std::string> path,
                                     std::optional<std::vector<QueryItem>> queryItems) const {
    // The port stays: without it a base such as "http://127.0.0.1:8080/api" would name
    // another server.
    std::string text = baseUrl_.scheme() + "://" + baseUrl_.host().value_or("");
    if (baseUrl_.port()) {
        text += ':' + std::to_string(*baseUrl_.port());
    }
    text += path ? appendingPathComponent(baseUrl_.path(), *path) : baseUrl_.path();
    if (queryItems) {
        text += '?' + queryText(*queryItems);
    }
    auto url = platform::Url::make(text);
    if (!url) {
        throw HttpError::invalidUrl();
    }
    return std::move(*url);
}

void LxHttpClient::file(const platform::Url& url, const platform::Url& destination,
                        Completion<platform::Url> completion) {
    using Outcome = platform::Result<platform::Url, HttpError>;
    platform::http::Session::shared().download(
        platform::http::Request{.url = url},
        [destination, completion = std::move(completion)](platform::http::DownloadOutcome outcome) {
            if (outcome.error &&
                outcome.error->code() == platform::http::TransferError::Code::storageFailed) {
                completion(Outcome::failure(HttpError::downloadFailure(anyError(outcome.error))));
                return;
            }
            if (!outcome.response || !outcome.response->isHttp()) {
                completion(Outcome::failure(HttpError::invalidResponseType()));
                return;
            }
            if (*outcome.response->statusCode != 200) {
                completion(Outcome::failure(
                    HttpError::invalidResponseCode(*outcome.response->statusCode)));
                return;
            }
            const auto destinationPath = destination.filePath();
            if (!outcome.location || !destinationPath) {
                completion(Outcome::failure(HttpError::downloadFailure(anyError(outcome.error))));
                return;
            }
            try {
                // Replaces an old file only once the new one is whole; refuses a folder.
                platform::copyFileAtomically(*outcome.location, *destinationPath);
            } catch (...) {
                completion(
                    Outcome::failure(HttpError::downloadFailure(platform::AnyError::current())));
                return;
            }
            completion(Outcome::success(destination));
        });
}

void LxHttpClient::data(const Request& request, Completion<Data> completion) {
    using Outcome = platform::Result<Data, HttpError>;
    std::vector<platform::http::Header> headers;
    for (const auto& header : request.headers.value_or(std::vector<Header>{})) {
        headers.push_back({header.field, header.value});
    }
    platform::http::Session::shared().data(
        platform::http::Request{.url = request.url,
                                .method = std::string(request.method.rawValue()),
                                .headers = std::move(headers),
                                .body = request.body,
                                .idleTimeout = std::chrono::seconds(60)},
        [completion = std::move(completion)](platform::http::DataOutcome outcome) {
            if (!outcome.response || !outcome.response->isHttp()) {
                completion(Outcome::failure(HttpError::invalidResponseType()));
            } else if (!outcome.data) {
                completion(Outcome::failure(HttpError::unknow()));
            } else if (const int status = *outcome.response->statusCode;
                       status < 200 || status > 299) {
                completion(Outcome::failure(HttpError::invalidResponseCode(status)));
            } else {
                completion(Outcome::success(std::move(*outcome.data)));
            }
        });
}
