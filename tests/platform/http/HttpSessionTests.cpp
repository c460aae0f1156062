#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/Quiescence.h"
#include "platform/http/HttpSession.h"
#include "support/DispatchTest.h"
#include "support/FileTestHelpers.h"
#include "support/LocalHttpServer.h"
#include "support/RawHttpServer.h"
#include "support/ScopedEnvironment.h"
#include "support/ScopedSessionLimits.h"

namespace {

using platform::Url;
using platform::http::Bytes;
using platform::http::DataOutcome;
using platform::http::DownloadOutcome;
using platform::http::Request;
using platform::http::Session;
using platform::http::TransferError;

Request get(const std::string& url) {
    return Request{.url = Url::make(url).value()};
}

std::string textOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class HttpSessionTest : public DispatchTest {
protected:
    // Runs the transfer and waits (bounded) for its outcome.
    DataOutcome fetch(Request request) {
        auto outcome = std::make_shared<std::optional<DataOutcome>>();
        auto done = std::make_shared<TestLatch>(1);
        Session::shared().data(std::move(request), [outcome, done](DataOutcome result) {
            EXPECT_TRUE(Session::shared().queue()->isCurrent());
            outcome->emplace(std::move(result));
            done->countDown();
        });
        EXPECT_TRUE(done->wait());
        return outcome->value();
    }

    struct Downloaded {
        DownloadOutcome outcome;
        // What the temporary file held while the completion ran.
        std::optional<std::string> content;
    };

    // Runs the download and waits (bounded) for its outcome.
    Downloaded download(Request request) {
        auto downloaded = std::make_shared<std::optional<Downloaded>>();
        auto done = std::make_shared<TestLatch>(1);
        Session::shared().download(std::move(request), [downloaded, done](DownloadOutcome result) {
            std::optional<std::string> content;
            if (result.location) {
                content = test_files::contentOf(*result.location);
            }
            downloaded->emplace(Downloaded{std::move(result), std::move(content)});
            done->countDown();
        });
        EXPECT_TRUE(done->wait());
        return downloaded->value();
    }

    LocalHttpServer server;
};

TEST_F(HttpSessionTest, SendsMethodHeadersInOrderAndBody) {
    server.route("/echo", {.status = 201, .headers = {{"X-Answer", "42"}}, .body = "made"});
    Request request = get(server.url("/echo"));
    request.method = "PUT";
    request.headers = {{"X-Tag", "first"}, {"X-Other", "o"}, {"X-Tag", "second"}};
    request.body = Bytes{'a', 'b', 'c'};

    const auto outcome = fetch(request);

    ASSERT_TRUE(outcome.response);
    EXPECT_EQ(outcome.response->statusCode, 201);
    EXPECT_EQ(textOf(*outcome.data), "made");
    const auto answer =
        std::find_if(outcome.response->headers.begin(), outcome.response->headers.end(),
                     [](const auto& header) { return header.field == "X-Answer"; });
    ASSERT_NE(answer, outcome.response->headers.end());
    EXPECT_EQ(answer->value, "42");
    const auto received = server.requests().at(0);
    EXPECT_EQ(received.method, "PUT");
    EXPECT_EQ(received.body, "abc");
    EXPECT_EQ(received.values("X-Tag"), (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(received.values("Content-Type").empty());
}

TEST_F(HttpSessionTest, MethodsArriveAsGivenAndHeadCompletesWithoutBody) {
    server.route("/any", {.body = "body"});
    for (const char* method : {"GET", "POST", "DELETE", "OPTIONS", "HEAD"}) {
        SCOPED_TRACE(method);
        Request request = get(server.url("/any"));
        request.method = method;

        const auto outcome = fetch(request);

        ASSERT_TRUE(outcome.response);
        EXPECT_EQ(outcome.response->statusCode, 200);
        EXPECT_EQ(server.requests().back().method, method);
        EXPECT_EQ(textOf(*outcome.data), std::string(method) == "HEAD" ? "" : "body");
    }
}

TEST_F(HttpSessionTest, CompressedBodiesArriveDecoded) {
    const std::string text(4000, 'a');
    server.route("/text", {.headers = {{"Content-Type", "text/plain"}}, .body = text});

    const auto outcome = fetch(get(server.url("/text")));

    ASSERT_TRUE(outcome.response);
    const auto& headers = outcome.response->headers;
    const auto encoding = std::find_if(headers.begin(), headers.end(), [](const auto& header) {
        return header.field == "Content-Encoding";
    });
    ASSERT_NE(encoding, headers.end()) << "the server sent the text uncompressed";
    EXPECT_EQ(textOf(*outcome.data), text);
}

TEST_F(HttpSessionTest, FollowsRedirectsButNotAMovedAnswerWithoutLocation) {
    server.route("/old", {.status = 301, .headers = {{"Location", "/new"}}});
    server.route("/new", {.body = "moved here"});
    server.route("/nowhere", {.status = 301});

    const auto redirected = fetch(get(server.url("/old")));
    const auto stranded = fetch(get(server.url("/nowhere")));

    EXPECT_EQ(redirected.response->statusCode, 200);
    EXPECT_EQ(textOf(*redirected.data), "moved here");
    EXPECT_EQ(stranded.response->statusCode, 301);
}

TEST_F(HttpSessionTest, RefusesRedirectsToOtherSchemes) {
    const auto secret = test_files::put(test_files::sandbox() / "secret.txt", "secret");
    server.route("/to-file",
                 {.status = 302, .headers = {{"Location", Url::fileURL(secret).string()}}});

    const auto outcome = fetch(get(server.url("/to-file")));

    EXPECT_FALSE(outcome.response);
    ASSERT_TRUE(outcome.error);
}

TEST_F(HttpSessionTest, ARefusedConnectionIsAnErrorWithoutResponse) {
    const auto outcome = fetch(get(LocalHttpServer::refusedUrl()));

    EXPECT_FALSE(outcome.response);
    EXPECT_FALSE(outcome.data);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->code(), TransferError::Code::cannotConnect);
}

TEST_F(HttpSessionTest, OtherSchemesGetAnAnswerThatIsNotHttp) {
    const auto secret = test_files::put(test_files::sandbox() / "secret.txt", "secret");

    const auto outcome = fetch(Request{.url = Url::fileURL(secret)});

    ASSERT_TRUE(outcome.response);
    EXPECT_FALSE(outcome.response->isHttp());
    EXPECT_TRUE(outcome.data->empty());
}

TEST_F(HttpSessionTest, RefusesHeadersAndMethodsThatCouldSplitTheRequest) {
    server.route("/any", {});
    Request badHeader = get(server.url("/any"));
    badHeader.headers = {{"X-Tag", "a\r\nX-Injected: 1"}};
    Request badMethod = get(server.url("/any"));
    badMethod.method = "GET /other HTTP/1.1\r\n";

    for (const auto& request : {badHeader, badMethod}) {
        const auto outcome = fetch(request);
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->code(), TransferError::Code::invalidRequest);
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpSessionTest, RefusesALengthThatIsNotTheBodysBeforeSendingAnything) {
    server.route("/any", {});
    struct Case {
        const char* trace;
        const char* method;
        std::vector<platform::http::Header> headers;
        std::optional<Bytes> body;
        bool refused;
    };
    const Bytes body{'a', 'b', 'c'};
    const Case cases[] = {
        {"shorter", "POST", {{"Content-Length", "1"}}, body, true},
        {"longer", "POST", {{"content-length", "30"}}, body, true},
        {"no body", "GET", {{"Content-Length", "5"}}, std::nullopt, true},
        {"not a number", "POST", {{"Content-Length", "3x"}}, body, true},
        {"signed", "POST", {{"Content-Length", "+3"}}, body, true},
        {"one of two wrong",
         "POST",
         {{"Content-Length", "3"}, {"Content-Length", "4"}},
         body,
         true},
        {"next to an encoding",
         "POST",
         {{"Content-Length", "3"}, {"Transfer-Encoding", "chunked"}},
         body,
         true},
        {"the body's length", "POST", {{"Content-Length", "3"}}, body, false},
        {"zero without a body", "GET", {{"Content-Length", "0"}}, std::nullopt, false},
    };
    std::size_t sent = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        Request request = get(server.url("/any"));
        request.method = c.method;
        request.headers = c.headers;
        request.body = c.body;
        const auto outcome = fetch(request);
        if (c.refused) {
            ASSERT_TRUE(outcome.error);
            EXPECT_EQ(outcome.error->code(), TransferError::Code::invalidRequest);
        } else {
            EXPECT_FALSE(outcome.error);
            ++sent;
        }
        EXPECT_EQ(server.requests().size(), sent);
    }
    EXPECT_EQ(server.requests().front().body, "abc");
}

// A peer that keeps sending trailer lines after a chunked body, until the client stops reading
// or ten seconds have passed.
TEST_F(HttpSessionTest, EndlessTrailersFailTheTransferOnceAndStopTheReading) {
    RawHttpServer endless([](const RawHttpServer::Connection& peer) {
        if (!peer.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n")) {
            return;
        }
        const std::string lines = [] {
            std::string text;
            for (int line = 0; line < 1000; ++line) {
                text += "X-Trailer-" + std::to_string(line) + ": " + std::string(40, 't') + "\r\n";
            }
            return text;
        }();
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < giveUp && peer.send(lines)) {
        }
    });
    auto completions = std::make_shared<std::atomic<int>>(0);
    auto outcome = std::make_shared<std::optional<DataOutcome>>();
    auto done = std::make_shared<TestLatch>(1);
    Session::shared().data(get(endless.url("/trailers")), [=](DataOutcome result) {
        ++*completions;
        outcome->emplace(std::move(result));
        done->countDown();
    });

    ASSERT_TRUE(done->wait(std::chrono::seconds(20)));
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    EXPECT_EQ(completions->load(), 1);
    ASSERT_TRUE(outcome->value().error);
    EXPECT_EQ(outcome->value().error->localizedDescription(),
              "The answer's header lines are longer than 262144 bytes");
    // What the sockets' buffers hold besides what was read: far below what ten seconds carry.
    EXPECT_LT(endless.bytesSent(), std::uint64_t{32} << 20);
}

TEST_F(HttpSessionTest, CancelAbortsATransferWaitingForItsAnswer) {
    server.route("/slow", {.body = "late", .delay = std::chrono::seconds(30)});
    auto outcome = std::make_shared<std::optional<DataOutcome>>();
    auto done = std::make_shared<TestLatch>(1);
    const auto task =
        Session::shared().data(get(server.url("/slow")), [outcome, done](DataOutcome result) {
            outcome->emplace(std::move(result));
            done->countDown();
        });
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (server.requests().empty() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::yield();  // bounded: until the request is in the server's hands
    }

    task->cancel();

    ASSERT_TRUE(done->wait(std::chrono::seconds(5)));
    ASSERT_TRUE(outcome->value().error);
    EXPECT_EQ(outcome->value().error->code(), TransferError::Code::cancelled);
}

// The time-out counts time without progress: a silent server fails the transfer, a slow one
// that keeps sending does not, however long it takes in all.
TEST_F(HttpSessionTest, TheTimeOutEndsOnlyTransfersWithoutProgress) {
    server.route("/silent", {.body = "late", .delay = std::chrono::seconds(30)});
    server.route("/trickle",
                 {.chunks = {"a", "b", "c", "d", "e"}, .pause = std::chrono::milliseconds(400)});
    Request silent = get(server.url("/silent"));
    silent.idleTimeout = std::chrono::seconds(1);
    Request trickle = get(server.url("/trickle"));
    trickle.idleTimeout = std::chrono::seconds(1);

    const auto stalled = fetch(silent);
    const auto slow = fetch(trickle);

    ASSERT_TRUE(stalled.error);
    EXPECT_EQ(stalled.error->code(), TransferError::Code::timedOut);
    ASSERT_TRUE(slow.response);
    EXPECT_EQ(textOf(*slow.data), "abcde");
}

// A peer that sends a byte now and then never trips the idle time-out; the time limit in all
// ends such a transfer, and a download's temporary file goes with it.
TEST_F(HttpSessionTest, TransfersEndAtTheirTimeLimitHoweverTheyKeepMoving) {
    const ScopedSessionLimits limits(ScopedSessionLimits::small());
    routePastSmallLimits(server);

    const auto data = fetch(get(server.url("/trickle")));
    const auto downloaded = download(get(server.url("/trickle")));

    ASSERT_TRUE(data.error);
    EXPECT_EQ(data.error->code(), TransferError::Code::timedOut);
    EXPECT_FALSE(data.data);
    ASSERT_TRUE(downloaded.outcome.error);
    EXPECT_EQ(downloaded.outcome.error->code(), TransferError::Code::timedOut);
    EXPECT_FALSE(downloaded.outcome.location);
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 0);
}

// Counted as the body arrives, decoded, whether or not the answer declared its length: none of
// a larger body is handed out. A download goes to disk and is not bounded so.
TEST_F(HttpSessionTest, BodiesReadIntoMemoryAreBoundedAndALargerOneFailsWhole) {
    const ScopedSessionLimits limits(ScopedSessionLimits::small());
    routePastSmallLimits(server);
    server.route("/exact", {.body = std::string(1000, 'x')});
    server.route("/chunked", {.chunks = {std::string(600, 'x'), std::string(600, 'x')}});
    // Compressed on the wire to far fewer bytes than the bound.
    server.route("/inflating",
                 {.headers = {{"Content-Type", "text/plain"}}, .body = std::string(4000, 'a')});

    EXPECT_EQ(fetch(get(server.url("/exact"))).data->size(), 1000u);
    for (const char* path : {"/large", "/chunked", "/inflating"}) {
        SCOPED_TRACE(path);
        const auto outcome = fetch(get(server.url(path)));

        EXPECT_FALSE(outcome.data);
        EXPECT_FALSE(outcome.response);
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->code(), TransferError::Code::failed);
        EXPECT_EQ(outcome.error->localizedDescription(), "The answer is larger than 1000 bytes");
    }
    EXPECT_EQ(download(get(server.url("/large"))).content, std::string(1001, 'x'));
}

TEST_F(HttpSessionTest, ADownloadWithoutAUsableTemporaryFolderFailsWithoutWriting) {
    server.route("/file", {.body = "file content"});
    const std::filesystem::path current = test_files::sandbox() / "current";
    std::filesystem::create_directories(current);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(current);
    {
        ScopedEnvironment environment;
        environment.set("TMPDIR", (test_files::sandbox() / "missing").string());
        const auto downloaded = download(get(server.url("/file")));
        ASSERT_TRUE(downloaded.outcome.error);
        EXPECT_EQ(downloaded.outcome.error->code(), TransferError::Code::storageFailed);
        EXPECT_FALSE(downloaded.outcome.location);
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(test_files::entriesIn(current), 0);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpSessionTest, DownloadsIntoATemporaryFileRemovedAfterTheCompletion) {
    server.route("/file", {.body = "file content"});
    auto location = std::make_shared<std::filesystem::path>();
    auto done = std::make_shared<TestLatch>(1);

    Session::shared().download(get(server.url("/file")), [location, done](DownloadOutcome outcome) {
        ASSERT_TRUE(outcome.location);
        EXPECT_EQ(outcome.response->statusCode, 200);
        EXPECT_EQ(test_files::contentOf(*outcome.location), "file content");
        EXPECT_EQ(outcome.location->parent_path(), test_files::sandbox());  // $TMPDIR
        *location = *outcome.location;
        done->countDown();
    });

    ASSERT_TRUE(done->wait());
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    EXPECT_FALSE(std::filesystem::exists(*location));
}

}  // namespace
