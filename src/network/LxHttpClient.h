#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/foundation/AnyError.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Result.h"
#include "platform/http/Url.h"
#include "platform/json/Value.h"
#include "utility/LxJsonHelper.h"

// A small HTTP client over the process's HTTP session: downloads into files, fetches bytes,
// fetches and decodes JSON.
//
// Every operation starts a transfer and returns at once; its completion runs later, once, on the
// session's queue "http.session" (never the main thread), and receives a result whose failure is
// an `HttpError`. Completions of different calls may run at the same time, in any order. Only
// `Url` throws.
//
// Example:
//   const auto items = LxHttpClient::Url("http://127.0.0.1:8080/api").url("items", {{"a", "1"}});
//   LxHttpClient::data(LxHttpClient::Request(LxHttpClient::Method::get, items),
//                      [](platform::Result<LxHttpClient::Data, LxHttpClient::HttpError> result) {
//                          ...
//                      });
struct LxHttpClient {
    using Data = std::vector<std::uint8_t>;

    // An HTTP method; compares and hashes by its text.
    class Method {
    public:
        enum Case { get, put, post, delete_, head, options, trace, connect };

        constexpr Method(Case value) : value_(value) {}  // NOLINT: a case is a method

        // Only the eight texts "GET" ... "CONNECT", exactly as written.
        static std::optional<Method> fromRawValue(std::string_view text);

        std::string_view rawValue() const;
        constexpr Case value() const { return value_; }
        constexpr bool operator==(const Method&) const = default;

    private:
        Case value_;
    };

    struct Header {
        std::string field;
        std::string value;
    };

    struct QueryItem {
        std::string name;
        std::optional<std::string> value = std::nullopt;
    };

    class HttpError : public platform::Error {
    public:
        enum class Case {
            invalidResponseCode,
            decodingFailure,
            downloadFailure,
            unknow,
            invalidUrl,
            invalidResponseType,
            emptyResponse,
        };

        // "Invalid response code: <code>"
        static HttpError invalidResponseCode(int code);
        // "Failed to decode json: <the error's description>"
        static HttpError decodingFailure(platform::AnyError error);
        // "Failed to download file: <the error's description>", or "... unknown error"
        static HttpError downloadFailure(std::optional<platform::AnyError> error = std::nullopt);
        // "Unknow error"
        static HttpError unknow();
        // "Invalid URL"
        static HttpError invalidUrl();
        // "Invalid response type"
        static HttpError invalidResponseType();
        // "Empty content from URL"; no operation of the client reports it.
        static HttpError emptyResponse();

        Case kind() const { return case_; }
        const std::string& errorDescription() const { return localizedDescription(); }
        // The status of `invalidResponseCode`.
        std::optional<int> statusCode() const { return statusCode_; }
        // The error within `decodingFailure` and `downloadFailure`, when there is one.
        const std::optional<platform::AnyError>& underlyingError() const { return underlying_; }

    private:
        HttpError(Case kind, std::string description, std::optional<int> statusCode = std::nullopt,
                  std::optional<platform::AnyError> underlying = std::nullopt);

        Case case_;
        std::optional<int> statusCode_;
        std::optional<platform::AnyError> underlying_;
    };

    // Request URLs below a base URL.
    class Url {
    public:
        // Throws `HttpError::invalidUrl()` when `baseUrl` is not an absolute URL. A relative
        // reference ("items", "/api") is refused here, though a URL value could hold one: it
        // names no server, so every URL built on it would fail only later, when a request is
        // sent, and with a transfer error that hides the cause.
        explicit Url(std::string_view baseUrl);

        const platform::Url& baseUrl() const { return baseUrl_; }

        // The base's scheme, host, port and path, then `path` appended as a path component
        // (slashes inside it stay) and the query items, names and values percent-encoded, so
        // "&", "=", "+" and "#" stay inside their item. A user, password, query or fragment of
        // the base is dropped. Throws `HttpError::invalidUrl()` when no URL results.
        platform::Url url(std::optional<std::string> path = std::nullopt,
                          std::optional<std::vector<QueryItem>> queryItems = std::nullopt) const;

    private:
        platform::Url baseUrl_;
    };

    struct Request {
        Request(Method method, platform::Url url,
                std::optional<std::vector<Header>> headers = std::nullopt,
                std::optional<Data> body = std::nullopt)
            : method(method),
              url(std::move(url)),
              headers(std::move(headers)),
              body(std::move(body)) {}

        Method method;
        platform::Url url;
        // Sent in order; two headers with one field both go out.
        std::optional<std::vector<Header>> headers;
        std::optional<Data> body;
    };

    template <class T>
    using Completion = std::function<void(platform::Result<T, HttpError>)>;

    // Downloads `url` (a GET) into the file `destination`; the success value is `destination`.
    // Only status 200 succeeds (`invalidResponseCode` for any other, nothing written). An
    // existing file at `destination` is replaced only once the download is complete; a folder
    // there, a destination that is not a file URL or a failed write is `downloadFailure` and
    // leaves whatever was there untouched, and so is a download whose temporary file cannot be
    // made or written (no private temporary folder, a full disk). Any other transfer that fails,
    // also one beyond the session's time limit for downloads (platform::http::Session::Limits),
    // is `invalidResponseType`.
    static void file(const platform::Url& url, const platform::Url& destination,
                     Completion<platform::Url> completion);

    // The body of the answer to `request` (60 s without progress ends it) for a status from 200
    // to 299, empty bodies included; `invalidResponseCode` for any other status, the body
    // dropped; `invalidResponseType` when no HTTP answer came (the transfer's own error is not
    // looked at), also when the body is larger or the transfer longer than the session allows
    // (platform::http::Session::Limits).
    static void data(const Request& request, Completion<Data> completion);

    // The body of `data` decoded as JSON with ISO 8601 dates: a failure of `data` unchanged,
    // a body that does not decode `decodingFailure`. The parsed body takes at most eight times
    // the body's size in memory (platform::json::ParsedJson); a body that would take more, and
    // any failure to allocate, is `decodingFailure` too, never an abort.
    template <platform::json::DecodableFromText T>
    static void json(const Request& request, Completion<T> completion) {
        data(request,
             [completion = std::move(completion)](platform::Result<Data, HttpError> result) {
                 if (result.isFailed()) {
                     completion(platform::Result<T, HttpError>::failure(*result.error()));
                     return;
                 }
                 std::optional<T> decoded;
                 try {
                     decoded.emplace(LxJsonHelper().load<T>(result.get()));
                 } catch (const HttpError& error) {
                     completion(platform::Result<T, HttpError>::failure(error));
                     return;
                 } catch (...) {
                     completion(platform::Result<T, HttpError>::failure(
                         HttpError::decodingFailure(platform::AnyError::current())));
                     return;
                 }
                 completion(platform::Result<T, HttpError>::success(std::move(*decoded)));
             });
    }

    // `json` of a GET of `url` without headers or body.
    template <platform::json::DecodableFromText T>
    static void json(const platform::Url& url, Completion<T> completion) {
        json<T>(Request(Method::get, url), std::move(completion));
    }
};

template <>
struct std::hash<LxHttpClient::Method> {
    std::size_t operator()(LxHttpClient::Method method) const noexcept {
        return std::hash<std::string_view>{}(method.rawValue());
    }
};
