#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "network/PublisherRecording.h"
#include "network/UrlPublishers.h"
#include "platform/dispatch/Quiescence.h"
#include "platform/json/Value.h"
#include "support/DispatchTest.h"
#include "support/FileTestHelpers.h"
#include "support/LocalHttpServer.h"
#include "support/ScopedSessionLimits.h"

namespace {

using lx::Bytes;
using lx::RxUrlError;

platform::Url urlOf(const std::string& text) {
    return platform::Url::make(text).value();
}

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

struct Item {
    std::string name;
    std::int64_t count;

    static Item decode(const platform::json::Value& value) {
        const auto object = value.object();
        return Item{object.decode<std::string>("name"), object.decode<std::int64_t>("count")};
    }
};

class UrlPublishersTest : public DispatchTest {
protected:
    LocalHttpServer server;
};

TEST_F(UrlPublishersTest, FetchPassesTheBodyOfSuccessStatusesOnly) {
    struct Case {
        int status;
        std::string body;
        bool passes;
    };
    const Case cases[] = {
        {200, "hello", true}, {200, "", true},  {204, "", true},    {299, "edge", true},
        {300, "no", false},   {304, "", false}, {404, "no", false}, {500, "no", false},
    };
    for (const auto& [status, body, passes] : cases) {
        SCOPED_TRACE(status);
        const std::string path = "/status/" + std::to_string(status) + "/" + body;
        server.route(path, {.status = status, .body = body});

        const auto received = awaitCompletion(lx::rxFetch(urlOf(server.url(path))));

        if (passes) {
            EXPECT_EQ(received.values, std::vector<Bytes>{bytesOf(body)});
            EXPECT_TRUE(received.completion->isFinished());
        } else {
            EXPECT_TRUE(received.values.empty());
            EXPECT_EQ(received.failure().kind(), RxUrlError::Case::unknown);
            EXPECT_EQ(received.failure().errorDescription(), "Unknown error");
        }
    }
}

TEST_F(UrlPublishersTest, FetchSendsAPlainGetOnlyOnceSubscribed) {
    server.route("/data", {.body = "x"});
    const auto publisher = lx::rxFetch(urlOf(server.url("/data")));
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    EXPECT_TRUE(server.requests().empty());

    awaitCompletion(publisher);
    awaitCompletion(publisher);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/data");
    EXPECT_TRUE(requests[0].body.empty());
}

TEST_F(UrlPublishersTest, FetchFromARefusedPortIsAnApiErrorWithTheTransferReason) {
    const auto received = awaitCompletion(lx::rxFetch(urlOf(LocalHttpServer::refusedUrl())));

    EXPECT_EQ(received.failure().kind(), RxUrlError::Case::apiError);
    EXPECT_FALSE(received.failure().errorDescription().empty());
    EXPECT_NE(received.failure().errorDescription(), "Unknown error");
}

TEST_F(UrlPublishersTest, TransfersBeyondTheSessionsLimitsAreApiErrorsWithTheirReason) {
    const ScopedSessionLimits limits(ScopedSessionLimits::small());
    routePastSmallLimits(server);
    const auto destination = test_files::sandbox() / "never.txt";

    const auto large = awaitCompletion(lx::rxFetch(urlOf(server.url("/large"))));
    const auto slow = awaitCompletion(lx::rxFetch(urlOf(server.url("/trickle"))));
    const auto download = awaitCompletion(
        lx::rxDownload(urlOf(server.url("/trickle")), platform::Url::fileURL(destination)));

    EXPECT_TRUE(large.values.empty());
    EXPECT_EQ(large.failure().kind(), RxUrlError::Case::apiError);
    EXPECT_EQ(large.failure().errorDescription(), "The answer is larger than 1000 bytes");
    EXPECT_TRUE(slow.values.empty());
    EXPECT_EQ(slow.failure().kind(), RxUrlError::Case::apiError);
    EXPECT_TRUE(slow.failure().errorDescription().find("timed out") != std::string::npos)
        << slow.failure().errorDescription();
    EXPECT_TRUE(download.values.empty());
    EXPECT_EQ(download.failure().kind(), RxUrlError::Case::apiError);
    EXPECT_FALSE(std::filesystem::exists(destination));
}

TEST_F(UrlPublishersTest, FetchOfOtherSchemesIsUnknownAndReadsNothing) {
    const auto secret = test_files::put(test_files::sandbox() / "secret.txt", "secret");
    for (const auto& url : {platform::Url::fileURL(secret), urlOf("ftp://127.0.0.1/secret")}) {
        SCOPED_TRACE(url.string());
        const auto received = awaitCompletion(lx::rxFetch(url));

        EXPECT_TRUE(received.values.empty());
        EXPECT_EQ(received.failure().kind(), RxUrlError::Case::unknown);
    }
}

TEST_F(UrlPublishersTest, CancelledFetchAbortsTheTransferAndDeliversNothing) {
    server.route("/slow", {.body = "late", .delay = std::chrono::seconds(30)});
    std::atomic<int> deliveries = 0;
    auto cancellable =
        lx::rxFetch(urlOf(server.url("/slow")))
            .sink([&](const auto&) { ++deliveries; }, [&](const Bytes&) { ++deliveries; });
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (server.requests().empty() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::yield();  // bounded: until the request is in the server's hands
    }
    ASSERT_EQ(server.requests().size(), 1u);

    cancellable.cancel();

    // The transfer ends long before the server would answer, and reaches no one.
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    EXPECT_EQ(deliveries.load(), 0);
}

TEST_F(UrlPublishersTest, JsonFetchDecodesTheBody) {
    server.route("/item", {.body = R"({"name":"Plan","count":3})"});

    const auto received = awaitCompletion(lx::rxFetch<Item>(urlOf(server.url("/item"))));

    ASSERT_EQ(received.values.size(), 1u);
    EXPECT_EQ(received.values[0].name, "Plan");
    EXPECT_EQ(received.values[0].count, 3);
    EXPECT_TRUE(received.completion->isFinished());
}

TEST_F(UrlPublishersTest, JsonFetchReportsDecodingFailuresWithTheirPlace) {
    struct Case {
        std::string body;
        std::string reasonEnding;
    };
    const Case cases[] = {
        {R"({"name":"Plan"})", " (key: count, )"},
        {R"({"name":"Plan","count":"three"})", " (type: Int64, count)"},
        {R"({"name":"Plan","count":null})", " (type: Int64, count)"},
        // The place of text that is not JSON is the parser's report.
        {"not json",
         " - (parse error at line 1, column 2: syntax error while parsing value - invalid "
         "literal; last read: 'no')"},
    };
    for (const auto& [body, reasonEnding] : cases) {
        SCOPED_TRACE(body);
        server.route("/item", {.body = body});

        const auto received = awaitCompletion(lx::rxFetch<Item>(urlOf(server.url("/item"))));

        EXPECT_EQ(received.failure().kind(), RxUrlError::Case::parserError);
        EXPECT_TRUE(received.failure().errorDescription().ends_with(reasonEnding))
            << received.failure().errorDescription();
        EXPECT_GT(received.failure().errorDescription().size(), reasonEnding.size());
    }
}

TEST_F(UrlPublishersTest, JsonFetchReportsEveryFetchFailureAsApiError) {
    server.route("/missing", {.status = 404, .body = "{}"});

    const auto notFound = awaitCompletion(lx::rxFetch<Item>(urlOf(server.url("/missing"))));
    const auto refused = awaitCompletion(lx::rxFetch<Item>(urlOf(LocalHttpServer::refusedUrl())));

    EXPECT_EQ(notFound.failure().kind(), RxUrlError::Case::apiError);
    EXPECT_EQ(notFound.failure().errorDescription(), "Unknown error");
    EXPECT_EQ(refused.failure().kind(), RxUrlError::Case::apiError);
}

TEST_F(UrlPublishersTest, DownloadStartsAtTheCallEvenWithoutSubscriber) {
    server.route("/file", {.body = "downloaded"});
    const auto destination = test_files::sandbox() / "unobserved.txt";

    const auto publisher =
        lx::rxDownload(urlOf(server.url("/file")), platform::Url::fileURL(destination));
    ASSERT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));

    EXPECT_EQ(test_files::contentOf(destination), "downloaded");
    const auto received = awaitCompletion(publisher);  // a late subscriber gets the same result
    EXPECT_EQ(received.values, std::vector<platform::Url>{platform::Url::fileURL(destination)});
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(UrlPublishersTest, DownloadFailuresCarryTheClientsDescription) {
    server.route("/created", {.status = 201, .body = "x"});
    const auto destination = platform::Url::fileURL(test_files::sandbox() / "never.txt");

    const auto failed = awaitCompletion(lx::rxDownload(urlOf(server.url("/created")), destination));
    const auto replaced = awaitCompletion(
        lx::rxDownloadReplaceErrorToNilTo(urlOf(server.url("/created")), destination));

    EXPECT_EQ(failed.failure().kind(), RxUrlError::Case::apiError);
    EXPECT_EQ(failed.failure().errorDescription(), "Invalid response code: 201");
    EXPECT_EQ(replaced.values, std::vector<std::optional<platform::Url>>{std::nullopt});
    EXPECT_TRUE(replaced.completion->isFinished());
}

TEST_F(UrlPublishersTest, DownloadReplacingErrorsPublishesTheDestination) {
    server.route("/file", {.body = "content"});
    const auto destination = platform::Url::fileURL(test_files::sandbox() / "file.txt");

    const auto received =
        awaitCompletion(lx::rxDownloadReplaceErrorToNilTo(urlOf(server.url("/file")), destination));

    EXPECT_EQ(received.values, std::vector<std::optional<platform::Url>>{destination});
}

}  // namespace
