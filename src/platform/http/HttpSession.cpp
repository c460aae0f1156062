#include "platform/http/HttpSession.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>
#include <mutex>
#include <string>
#include <string_view>
#include <strings.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform::http {

namespace {

constexpr long kMaximumRedirects = 16;
constexpr const char* kServedProtocols = "http,https";

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

bool isServedScheme(const Url& url) {
    return url.scheme() == "http" || url.scheme() == "https";
}

// A line break or NUL in a header or the method would let the text start a header or a request
// of its own.
bool isSafeHeaderText(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool isToken(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte <= 0x20 || byte >= 0x7f || character == ':') {
            return false;
        }
    }
    return true;
}

bool carriesBody(std::string_view method) {
    return method == "POST" || method == "PUT" || method == "PATCH";
}

bool hasHeader(const Request& request, std::string_view field) {
    return std::any_of(
        request.headers.begin(), request.headers.end(), [field](const Header& header) {
            return header.field.size() == field.size() &&
                   ::strncasecmp(header.field.data(), field.data(), field.size()) == 0;
        });
}

std::optional<TransferError> requestProblem(const Request& request) {
    if (!isToken(request.method)) {
        return TransferError(TransferError::Code::invalidRequest,
                             "The request method \"" + request.method + "\" is not valid");
    }
    for (const auto& header : request.headers) {
        if (!isToken(header.field) || !isSafeHeaderText(header.value)) {
            return TransferError(TransferError::Code::invalidRequest,
                                 "The request header \"" + header.field + "\" is not valid");
        }
    }
    return std::nullopt;
}

TransferError transferError(CURLcode code, const char* detail) {
    const std::string description =
        detail != nullptr && *detail != '\0' ? std::string(detail) : curl_easy_strerror(code);
    switch (code) {
        case CURLE_COULDNT_CONNECT:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return TransferError(TransferError::Code::cannotConnect, description);
        case CURLE_OPERATION_TIMEDOUT:
            return TransferError(TransferError::Code::timedOut, description);
        case CURLE_ABORTED_BY_CALLBACK:
            return TransferError(TransferError::Code::cancelled, "The transfer was cancelled");
        default:
            return TransferError(TransferError::Code::failed, description);
    }
}

using BodySink = std::function<bool(const char* bytes, std::size_t count)>;

// What one transfer may take at most.
struct Bounds {
    std::optional<std::uint64_t> bodySize;
    std::chrono::milliseconds time;
};

struct TransferState {
    const Task& task;
    BodySink body;
    std::optional<std::uint64_t> bodyLimit;
    std::uint64_t bodyReceived = 0;
    // Why the body was refused, when it was: libcurl only learns that it was.
    std::optional<TransferError> bodyRefusal{};
    std::vector<Header> headers{};
};

std::size_t receiveBody(char* bytes, std::size_t size, std::size_t count, void* user) {
    auto* state = static_cast<TransferState*>(user);
    const std::size_t length = size * count;
    if (state->bodyLimit && length > *state->bodyLimit - state->bodyReceived) {
        state->bodyRefusal = TransferError(
            TransferError::Code::failed,
            "The answer is larger than " + std::to_string(*state->bodyLimit) + " bytes");
        return 0;
    }
    state->bodyReceived += length;
    try {
        return state->body(bytes, length) ? length : 0;
    } catch (...) {
        // Nothing may unwind through libcurl; a body that cannot be kept ends the transfer.
        state->bodyRefusal =
            TransferError(TransferError::Code::failed, "The answer could not be kept in memory");
        return 0;
    }
}

std::size_t receiveHeaderLine(char* bytes, std::size_t size, std::size_t count, void* user) {
    auto* state = static_cast<TransferState*>(user);
    std::string_view line(bytes, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    if (line.starts_with("HTTP/")) {
        // A redirect or an interim response: only the last response's headers count.
        state->headers.clear();
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        auto value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        state->headers.push_back({std::string(line.substr(0, colon)), std::string(value)});
    }
    return size * count;
}

int reportProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<TransferState*>(user)->task.isCancelled() ? 1 : 0;
}

struct Performed {
    std::optional<Response> response;
    std::optional<TransferError> error;
};

Performed failed(TransferError error) {
    return Performed{std::nullopt, std::move(error)};
}

template <class Option, class Value>
void set(CURL* easy, Option option, Value value) {
    // Every option set here exists in the libcurl we build against; a refusal would only
    // mean "out of memory", which the transfer then reports itself.
    (void)curl_easy_setopt(easy, option, value);
}

Performed perform(const Request& request, const Task& task, const Bounds& bounds, BodySink body) {
    if (task.isCancelled()) {
        return failed(transferError(CURLE_ABORTED_BY_CALLBACK, nullptr));
    }
    if (auto problem = requestProblem(request)) {
        return failed(std::move(*problem));
    }
    const EasyHandle easy(curl_easy_init());
    if (!easy) {
        return failed(TransferError(TransferError::Code::failed, "The transfer could not start"));
    }
    TransferState state{task, std::move(body), bounds.bodySize};
    char detail[CURL_ERROR_SIZE] = {};
    CURL* handle = easy.get();
    set(handle, CURLOPT_URL, request.url.string().c_str());
    set(handle, CURLOPT_PROTOCOLS_STR, kServedProtocols);
    set(handle, CURLOPT_REDIR_PROTOCOLS_STR, kServedProtocols);
    set(handle, CURLOPT_NOSIGNAL, 1L);
    set(handle, CURLOPT_ERRORBUFFER, detail);
    set(handle, CURLOPT_FOLLOWLOCATION, 1L);
    set(handle, CURLOPT_MAXREDIRS, kMaximumRedirects);
    set(handle, CURLOPT_ACCEPT_ENCODING, "");
    const long idleSeconds = static_cast<long>(request.idleTimeout.count());
    set(handle, CURLOPT_CONNECTTIMEOUT, idleSeconds);
    set(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(handle, CURLOPT_LOW_SPEED_TIME, idleSeconds);
    set(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(bounds.time.count()));
    set(handle, CURLOPT_WRITEFUNCTION, &receiveBody);
    set(handle, CURLOPT_WRITEDATA, &state);
    set(handle, CURLOPT_HEADERFUNCTION, &receiveHeaderLine);
    set(handle, CURLOPT_HEADERDATA, &state);
    set(handle, CURLOPT_NOPROGRESS, 0L);
    set(handle, CURLOPT_XFERINFOFUNCTION, &reportProgress);
    set(handle, CURLOPT_XFERINFODATA, &state);

    const bool sendsBody = request.body || carriesBody(request.method);
    if (sendsBody) {
        // Methods that carry a body get an empty one rather than none: servers refuse them
        // without a length. Never a null pointer: libcurl would read the body from its read
        // callback, standard input by default.
        const bool empty = !request.body || request.body->empty();
        const char* bytes = empty ? "" : reinterpret_cast<const char*>(request.body->data());
        set(handle, CURLOPT_POSTFIELDSIZE_LARGE,
            static_cast<curl_off_t>(empty ? 0 : request.body->size()));
        set(handle, CURLOPT_POSTFIELDS, bytes);
    }
    if (request.method == "HEAD") {
        // A HEAD answer has no body; asked as a custom method libcurl would wait for one.
        set(handle, CURLOPT_NOBODY, 1L);
    } else if (request.method != "GET" || sendsBody) {
        set(handle, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }

    std::vector<std::string> lines;
    for (const auto& header : request.headers) {
        // "Field;" is how libcurl sends a header whose value is empty.
        lines.push_back(header.value.empty() ? header.field + ";"
                                             : header.field + ": " + header.value);
    }
    if (sendsBody) {
        // libcurl would add a form content type and, for large bodies, wait for a
        // "100 Continue" that many servers never send; "Field:" keeps such a header out.
        for (const char* field : {"Content-Type", "Expect"}) {
            if (!hasHeader(request, field)) {
                lines.push_back(std::string(field) + ":");
            }
        }
    }
    HeaderList headers;
    for (const auto& line : lines) {
        curl_slist* appended = curl_slist_append(headers.get(), line.c_str());
        if (appended == nullptr) {
            return failed(
                TransferError(TransferError::Code::failed, "The transfer could not start"));
        }
        (void)headers.release();
        headers.reset(appended);
    }
    set(handle, CURLOPT_HTTPHEADER, headers.get());

    const CURLcode code = curl_easy_perform(handle);
    if (code != CURLE_OK) {
        return failed(state.bodyRefusal ? std::move(*state.bodyRefusal)
                                        : transferError(code, detail));
    }
    long status = 0;
    (void)curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return Performed{Response{static_cast<int>(status), std::move(state.headers)}, std::nullopt};
}

// The session's temporary copy of a download, removed when it goes.
class TemporaryFile {
public:
    TemporaryFile() {
        std::error_code ignored;
        std::string pattern =
            (std::filesystem::temp_directory_path(ignored) / "orbin-download-XXXXXX").native();
        const int descriptor = ::mkstemp(pattern.data());
        if (descriptor < 0) {
            return;
        }
        file_ = ::fdopen(descriptor, "wb");
        if (file_ == nullptr) {
            ::close(descriptor);
        }
        path_ = pattern;
    }
    ~TemporaryFile() {
        close();
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove(path_, ignored);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }

    bool write(const char* bytes, std::size_t count) {
        return std::fwrite(bytes, 1, count, file_) == count;
    }

    // True when every byte reached the file.
    bool close() {
        if (file_ == nullptr) {
            return false;
        }
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

private:
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
};

}  // namespace

Session& Session::shared() {
    static Session session;
    return session;
}

Session::Session()
    : queue_(dispatch::ConcurrentQueue::create("http.session", dispatch::QoS::utility)) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

Session::Limits Session::limits() const {
    const std::lock_guard lock(limitsMutex_);
    return limits_;
}

void Session::setLimits(Limits limits) {
    const std::lock_guard lock(limitsMutex_);
    limits_ = limits;
}

std::shared_ptr<Task> Session::data(Request request, std::function<void(DataOutcome)> completion) {
    auto task = std::make_shared<Task>();
    const auto limits = this->limits();
    const Bounds bounds{limits.maximumDataSize, limits.dataTimeLimit};
    queue_->async([request = std::move(request), completion = std::move(completion), task, bounds] {
        if (!isServedScheme(request.url)) {
            completion(DataOutcome{Bytes{}, Response{}, std::nullopt});
            return;
        }
        Bytes data;
        auto performed =
            perform(request, *task, bounds, [&data](const char* bytes, std::size_t count) {
                data.insert(data.end(), bytes, bytes + count);
                return true;
            });
        if (performed.error) {
            completion(DataOutcome{std::nullopt, std::nullopt, std::move(performed.error)});
            return;
        }
        completion(DataOutcome{std::move(data), std::move(performed.response), std::nullopt});
    });
    return task;
}

std::shared_ptr<Task> Session::download(Request request,
                                        std::function<void(DownloadOutcome)> completion) {
    auto task = std::make_shared<Task>();
    const Bounds bounds{std::nullopt, limits().downloadTimeLimit};
    queue_->async([request = std::move(request), completion = std::move(completion), task, bounds] {
        if (!isServedScheme(request.url)) {
            completion(DownloadOutcome{std::nullopt, Response{}, std::nullopt});
            return;
        }
        TemporaryFile file;
        if (!file.isOpen()) {
            completion(
                DownloadOutcome{std::nullopt, std::nullopt,
                                TransferError(TransferError::Code::failed,
                                              "Could not make a temporary file for the download")});
            return;
        }
        auto performed = perform(
            request, *task, bounds,
            [&file](const char* bytes, std::size_t count) { return file.write(bytes, count); });
        if (!file.close() && !performed.error) {
            performed = failed(TransferError(TransferError::Code::failed,
                                             "Could not write the download's temporary file"));
        }
        if (performed.error) {
            completion(DownloadOutcome{std::nullopt, std::nullopt, std::move(performed.error)});
            return;
        }
        completion(DownloadOutcome{file.path(), std::move(performed.response), std::nullopt});
    });
    return task;
}

}  // namespace platform::http
