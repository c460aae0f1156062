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

#include "platform/foundation/StandardFolders.h"

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

bool isField(const Header& header, std::string_view field) {
    return header.field.size() == field.size() &&
           ::strncasecmp(header.field.data(), field.data(), field.size()) == 0;
}

bool hasHeader(const Request& request, std::string_view field) {
    return std::any_of(request.headers.begin(), request.headers.end(),
                       [field](const Header& header) { return isField(header, field); });
}

bool isLength(std::string_view text, std::size_t length) {
    return !text.empty() && text.size() <= 19 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           std::stoull(std::string(text)) == length;
}

// A length the caller set that is not the body's would make the server take the rest of the
// body, or the start of what follows, as a request of its own: request smuggling. The same
// goes for a length next to a transfer encoding, which servers read in different ways.
std::optional<std::string> framingProblem(const Request& request) {
    const std::size_t bodyLength = request.body ? request.body->size() : 0;
    for (const auto& header : request.headers) {
        if (isField(header, "Content-Length") && !isLength(header.value, bodyLength)) {
            return "The request header \"Content-Length\" does not give the body's length " +
                   std::to_string(bodyLength);
        }
    }
    if (hasHeader(request, "Content-Length") && hasHeader(request, "Transfer-Encoding")) {
        return std::string("The request sets both \"Content-Length\" and \"Transfer-Encoding\"");
    }
    return std::nullopt;
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
    if (auto problem = framingProblem(request)) {
        return TransferError(TransferError::Code::invalidRequest, std::move(*problem));
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

// Answers false when the bytes could not be stored.
using BodySink = std::function<bool(const char* bytes, std::size_t count)>;

// What one transfer may take at most.
struct Bounds {
    std::optional<std::uint64_t> bodySize;
    std::chrono::milliseconds time;
};

// Why a callback ended the transfer; libcurl itself only learns that one did.
enum class Refusal { bodyTooLarge, bodyNotKept, bodyNotStored, headersTooLarge, headersNotKept };

struct TransferState {
    const Task& task;
    BodySink body;
    std::optional<std::uint64_t> bodyLimit;
    std::uint64_t bodyReceived = 0;
    std::uint64_t headerBytesReceived = 0;
    std::optional<Refusal> refusal{};
    std::vector<Header> headers{};
};

// The header lines of every response of one transfer (redirects, interim answers and the
// trailers after a chunked body included) count against this bound. libcurl's own bound on
// headers leaves trailers out, and a peer could send them for ever.
constexpr std::uint64_t kMaximumHeaderBytes = 256 * 1024;

TransferError refusalError(Refusal refusal, const TransferState& state) {
    switch (refusal) {
        case Refusal::bodyTooLarge:
            return TransferError(
                TransferError::Code::failed,
                "The answer is larger than " + std::to_string(*state.bodyLimit) + " bytes");
        case Refusal::bodyNotKept:
            return TransferError(TransferError::Code::failed,
                                 "The answer could not be kept in memory");
        case Refusal::bodyNotStored:
            return TransferError(TransferError::Code::storageFailed,
                                 "Could not write the download's temporary file");
        case Refusal::headersTooLarge:
            return TransferError(TransferError::Code::failed,
                                 "The answer's header lines are longer than " +
                                     std::to_string(kMaximumHeaderBytes) + " bytes");
        case Refusal::headersNotKept:
            return TransferError(TransferError::Code::failed,
                                 "The answer's header lines could not be kept in memory");
    }
    return TransferError(TransferError::Code::failed, "The transfer failed");
}

// Nothing may unwind through libcurl's C frames: each callback catches everything, records
// why, and answers the value that ends the transfer.
std::size_t receiveBody(char* bytes, std::size_t size, std::size_t count, void* user) noexcept {
    auto* state = static_cast<TransferState*>(user);
    const std::size_t length = size * count;
    if (state->bodyLimit && length > *state->bodyLimit - state->bodyReceived) {
        state->refusal = Refusal::bodyTooLarge;
        return 0;
    }
    state->bodyReceived += length;
    try {
        if (state->body(bytes, length)) {
            return length;
        }
        state->refusal = Refusal::bodyNotStored;
    } catch (...) {
        state->refusal = Refusal::bodyNotKept;
    }
    return 0;
}

std::size_t receiveHeaderLine(char* bytes, std::size_t size, std::size_t count,
                              void* user) noexcept {
    auto* state = static_cast<TransferState*>(user);
    const std::size_t length = size * count;
    state->headerBytesReceived += length;
    if (state->headerBytesReceived > kMaximumHeaderBytes) {
        state->refusal = Refusal::headersTooLarge;
        return 0;
    }
    std::string_view line(bytes, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    try {
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
    } catch (...) {
        state->refusal = Refusal::headersNotKept;
        return 0;
    }
    return length;
}

int reportProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) noexcept {
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
        return failed(state.refusal ? refusalError(*state.refusal, state)
                                    : transferError(code, detail));
    }
    long status = 0;
    (void)curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return Performed{Response{static_cast<int>(status), std::move(state.headers)}, std::nullopt};
}

// The session's temporary copy of a download (mode 0600), removed when it goes. Made in the
// temporary folder and never in the current one: when that folder is missing, there is none.
class TemporaryFile {
public:
    TemporaryFile() {
        std::string pattern = (temporaryFolder() / "orbin-download-XXXXXX").native();
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

// Whatever fails on the way (memory included), the completion runs once, after the outcome is
// complete, and outside the work that could throw.
template <class Outcome>
Outcome outcomeOrFailure(const std::function<Outcome()>& work) noexcept {
    try {
        return work();
    } catch (...) {
        Outcome outcome;
        outcome.error.emplace(TransferError::Code::failed, "The transfer failed");
        return outcome;
    }
}

DataOutcome fetchData(const Request& request, const Task& task, const Bounds& bounds) {
    if (!isServedScheme(request.url)) {
        return DataOutcome{Bytes{}, Response{}, std::nullopt};
    }
    Bytes data;
    auto performed = perform(request, task, bounds, [&data](const char* bytes, std::size_t count) {
        data.insert(data.end(), bytes, bytes + count);
        return true;
    });
    if (performed.error) {
        return DataOutcome{std::nullopt, std::nullopt, std::move(performed.error)};
    }
    return DataOutcome{std::move(data), std::move(performed.response), std::nullopt};
}

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
        completion(
            outcomeOrFailure<DataOutcome>([&] { return fetchData(request, *task, bounds); }));
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
        // The file lives until the completion has returned: what it names is the caller's to
        // read until then.
        std::optional<TemporaryFile> file;
        completion(outcomeOrFailure<DownloadOutcome>([&]() -> DownloadOutcome {
            file.emplace();
            if (!file->isOpen()) {
                return DownloadOutcome{
                    std::nullopt, std::nullopt,
                    TransferError(TransferError::Code::storageFailed,
                                  "Could not make a temporary file for the download")};
            }
            auto performed =
                perform(request, *task, bounds, [&file](const char* bytes, std::size_t count) {
                    return file->write(bytes, count);
                });
            if (!file->close() && !performed.error) {
                performed = failed(TransferError(TransferError::Code::storageFailed,
                                                 "Could not write the download's temporary file"));
            }
            if (performed.error) {
                return DownloadOutcome{std::nullopt, std::nullopt, std::move(performed.error)};
            }
            return DownloadOutcome{file->path(), std::move(performed.response), std::nullopt};
        }));
    });
    return task;
}

}  // namespace platform::http
