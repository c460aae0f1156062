#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/foundation/Error.h"
#include "platform/http/Url.h"

// The process's HTTP session: transfers over HTTP and HTTPS, each on its own connection
// handle, run one beside the other on the session's queue.
namespace platform::http {

using Bytes = std::vector<std::uint8_t>;

struct Header {
    std::string field{};
    std::string value{};
};

struct Request {
    Url url;
    // Sent as given, case included.
    std::string method = "GET";
    // Sent in this order; two headers with one field both go out.
    std::vector<Header> headers{};
    std::optional<Bytes> body{};
    // How long the transfer may go without any progress (connecting, or bytes moving) before
    // it fails; a transfer that keeps moving ends only at the session's time limit in all.
    std::chrono::seconds idleTimeout{60};
};

// What answered a request.
struct Response {
    // The HTTP status of the last response after redirects; none for an answer that is not
    // HTTP (a URL of another scheme, which the session does not fetch).
    std::optional<int> statusCode{};
    // The last response's header lines in the order received.
    std::vector<Header> headers{};

    bool isHttp() const { return statusCode.has_value(); }
};

// A transfer that failed before it had a whole answer: no connection, a time-out, a cancel, a
// request refused before anything was sent, a download's temporary file that could not be made
// or written (`storageFailed`).
class TransferError : public Error {
public:
    enum class Code { cannotConnect, timedOut, cancelled, invalidRequest, storageFailed, failed };

    TransferError(Code code, std::string description)
        : Error(std::move(description)), code_(code) {}

    Code code() const { return code_; }

private:
    Code code_;
};

// The outcome of a data transfer: a response and its body (empty, never absent, when the
// response has none), or an error and neither (also when the body is larger than the session
// allows, or the transfer outlasts its time limit).
struct DataOutcome {
    std::optional<Bytes> data;
    std::optional<Response> response;
    std::optional<TransferError> error;
};

// The outcome of a download: the body in a temporary file in platform::temporaryFolder() (when
// none can be made there, a missing $TMPDIR included, the download fails with `storageFailed`
// before anything is sent), which belongs to the session and is removed once the completion
// returns, the response, or an error.
struct DownloadOutcome {
    std::optional<std::filesystem::path> location;
    std::optional<Response> response;
    std::optional<TransferError> error;
};

// One transfer; cancelling ends it soon (within about a second when the peer is silent) with a
// `cancelled` error, or keeps it from starting.
class Task {
public:
    void cancel() { cancelled_.store(true); }
    bool isCancelled() const { return cancelled_.load(); }

private:
    std::atomic<bool> cancelled_{false};
};

// Every transfer starts at once on the queue "http.session" and calls its completion there,
// once, whatever happens (a failure to allocate included); completions of different transfers
// may run at the same time. A request whose method or headers could split it into two, or
// whose caller-set "Content-Length" is not its body's length (no body counts as 0), or that
// sets "Content-Length" next to "Transfer-Encoding", fails with `invalidRequest` before anything
// is sent. The header lines of all the responses of one transfer, trailers included, may take
// 256 KiB at most; more fails the transfer. Only
// "http" and "https" are fetched, also when redirected (at most 16 times); a URL of another
// scheme is answered at once with a response that is not HTTP and nothing is read. Compressed
// bodies arrive decoded. Proxies come from the usual environment variables.
//
// Example:
//   platform::http::Session::shared().data(request, [](platform::http::DataOutcome outcome) {
//       if (outcome.response && outcome.response->statusCode == 200) { use(*outcome.data); }
//   });
class Session {
public:
    // Bounds every transfer keeps to, whatever the peer sends; each transfer takes the limits in
    // force when it is started.
    struct Limits {
        // The most bytes of a body read into memory by `data`, counted after decoding (a small
        // compressed answer may inflate to much more): a larger body fails the transfer and none
        // of it is handed out. No JSON document or image the system fetches comes near it.
        // Downloads have no such bound: their body goes to a file, never to memory, so only the
        // disk limits it, and a disk that fills up fails the download like any failed write.
        std::uint64_t maximumDataSize = std::uint64_t{256} << 20;
        // How long a transfer may take in all, from connecting to its last byte, besides the idle
        // time-out of its request: a peer that sends a byte now and then would otherwise hold a
        // transfer for ever. A download may take longer than a body held in memory, as a large
        // file over a slow line keeps moving for a long time.
        std::chrono::milliseconds dataTimeLimit = std::chrono::minutes(10);
        std::chrono::milliseconds downloadTimeLimit = std::chrono::hours(1);
    };

    static Session& shared();

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::shared_ptr<dispatch::ConcurrentQueue>& queue() const { return queue_; }

    Limits limits() const;
    // For transfers started from now on.
    void setLimits(Limits limits);

    std::shared_ptr<Task> data(Request request, std::function<void(DataOutcome)> completion);
    std::shared_ptr<Task> download(Request request,
                                   std::function<void(DownloadOutcome)> completion);

private:
    Session();

    std::shared_ptr<dispatch::ConcurrentQueue> queue_;
    mutable std::mutex limitsMutex_;
    Limits limits_;
};

}  // namespace platform::http
