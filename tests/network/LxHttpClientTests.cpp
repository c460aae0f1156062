#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "network/LxHttpClient.h"
#include "platform/dispatch/Queue.h"
#include "platform/dispatch/Quiescence.h"
#include "platform/json/CodingError.h"
#include "support/DispatchTest.h"
#include "support/FileTestHelpers.h"
#include "support/LocalHttpServer.h"
#include "support/ScopedEnvironment.h"
#include "support/ScopedSessionLimits.h"

namespace {

using HttpError = LxHttpClient::HttpError;
using Method = LxHttpClient::Method;
using platform::Result;

platform::Url urlOf(const std::string& text) {
    return platform::Url::make(text).value();
}

struct Item {
    std::string name;

    static Item decode(const platform::json::Value& value) {
        return Item{value.object().decode<std::string>("name")};
    }
};

class LxHttpClientTest : public DispatchTest {
protected:
    // Runs `operation` with a completion and waits (bounded) for its one result, which must
    // not arrive on the main thread.
    template <class T, class Operation>
    Result<T, HttpError> await(Operation operation) {
        auto result = std::make_shared<std::optional<Result<T, HttpError>>>();
        auto done = std::make_shared<TestLatch>(1);
        operation([result, done](Result<T, HttpError> outcome) {
            EXPECT_FALSE(platform::dispatch::isMainThread());
            result->emplace(std::move(outcome));
            done->countDown();
        });
        EXPECT_TRUE(done->wait()) << "no completion in time";
        return result->value();
    }

    Result<LxHttpClient::Data, HttpError> data(const LxHttpClient::Request& request) {
        return await<LxHttpClient::Data>(
            [&](auto completion) { LxHttpClient::data(request, completion); });
    }

    Result<platform::Url, HttpError> file(const std::string& url,
                                          const std::filesystem::path& destination) {
        return await<platform::Url>([&](auto completion) {
            LxHttpClient::file(urlOf(url), platform::Url::fileURL(destination), completion);
        });
    }

    LocalHttpServer server;
};

TEST(LxHttpClientMethodTest, TextsAreExactAndCaseSensitive) {
    const std::pair<Method, const char*> cases[] = {
        {Method::get, "GET"},        {Method::put, "PUT"},         {Method::post, "POST"},
        {Method::delete_, "DELETE"}, {Method::head, "HEAD"},       {Method::options, "OPTIONS"},
        {Method::trace, "TRACE"},    {Method::connect, "CONNECT"},
    };
    for (const auto& [method, text] : cases) {
        EXPECT_EQ(method.rawValue(), text);
        EXPECT_EQ(Method::fromRawValue(text), method);
    }
    for (const char* text : {"get", "Get", "PATCH", "", "GET "}) {
        EXPECT_EQ(Method::fromRawValue(text), std::nullopt) << text;
    }
}

TEST(LxHttpClientErrorTest, DescriptionsAreTheFixedTexts) {
    const auto decoding = platform::AnyError(platform::json::DecodingError::keyNotFound("a", {}));
    const std::pair<HttpError, std::string> cases[] = {
        {HttpError::invalidResponseCode(404), "Invalid response code: 404"},
        {HttpError::decodingFailure(decoding),
         "Failed to decode json: " + decoding.localizedDescription()},
        {HttpError::downloadFailure(platform::AnyError(platform::Error("Disk full"))),
         "Failed to download file: Disk full"},
        {HttpError::downloadFailure(), "Failed to download file: unknown error"},
        {HttpError::unknow(), "Unknow error"},
        {HttpError::invalidUrl(), "Invalid URL"},
        {HttpError::invalidResponseType(), "Invalid response type"},
        {HttpError::emptyResponse(), "Empty content from URL"},
    };
    for (const auto& [error, description] : cases) {
        EXPECT_EQ(error.errorDescription(), description);
        EXPECT_EQ(error.localizedDescription(), description);
    }
}

TEST(LxHttpClientUrlTest, BuildsRequestUrlsBelowTheBase) {
    using Items = std::vector<LxHttpClient::QueryItem>;
    struct Case {
        std::string base;
        std::optional<std::string> path;
        std::optional<Items> items;
        std::string expected;
    };
    const Case cases[] = {
        {"http://example.org/api", "items", Items{{"a", "1"}}, "http://example.org/api/items?a=1"},
        {"http://example.org/api/", "/items/7", std::nullopt, "http://example.org/api/items/7"},
        {"http://example.org", "items", std::nullopt, "http://example.org/items"},
        {"http://example.org/api", std::nullopt, Items{{"q", "a&b=c"}, {"flag"}},
         "http://example.org/api?q=a%26b%3Dc&flag"},
        {"http://example.org/api", "my file", Items{{"x y", "1+1#2"}},
         "http://example.org/api/my%20file?x%20y=1%2B1%232"},
        {"http://127.0.0.1:8080/api", "items", std::nullopt, "http://127.0.0.1:8080/api/items"},
        {"https://user:pw@example.org/api?old=1#top", "items", std::nullopt,
         "https://example.org/api/items"},
    };
    for (const auto& [base, path, items, expected] : cases) {
        EXPECT_EQ(LxHttpClient::Url(base).url(path, items).string(), expected) << base;
    }
}

TEST(LxHttpClientUrlTest, TextsThatAreNoUrlThrowInvalidUrl) {
    for (const char* text : {"", "items", "http://exa mple.org"}) {
        try {
            LxHttpClient::Url url(text);
            ADD_FAILURE() << "no failure for " << text;
        } catch (const HttpError& error) {
            EXPECT_EQ(error.kind(), HttpError::Case::invalidUrl);
        }
    }
}

TEST_F(LxHttpClientTest, DataSucceedsFor200To299Only) {
    struct Case {
        int status;
        std::string body;
        std::optional<int> failure;
    };
    const Case cases[] = {
        {200, "ok", std::nullopt}, {204, "", std::nullopt}, {299, "edge", std::nullopt},
        {301, "moved", 301},       {404, "gone", 404},      {500, "broken", 500},
    };
    for (const auto& [status, body, failure] : cases) {
        SCOPED_TRACE(status);
        const std::string path = "/status/" + std::to_string(status);
        server.route(path, {.status = status, .body = body});

        const auto result = data(LxHttpClient::Request(Method::get, urlOf(server.url(path))));

        if (failure) {
            ASSERT_TRUE(result.isFailed());
            EXPECT_EQ(result.error()->kind(), HttpError::Case::invalidResponseCode);
            EXPECT_EQ(result.error()->statusCode(), failure);
        } else {
            ASSERT_TRUE(result.isSuccess());
            EXPECT_EQ(std::string(result.get().begin(), result.get().end()), body);
        }
    }
}

TEST_F(LxHttpClientTest, DataSendsMethodHeadersInOrderAndBody) {
    server.route("/echo", {.body = "ok"});
    const LxHttpClient::Request request(
        Method::post, urlOf(server.url("/echo")),
        std::vector<LxHttpClient::Header>{{"Accept", "text/plain"}, {"Accept", "application/json"}},
        LxHttpClient::Data{'{', '}'});

    ASSERT_TRUE(data(request).isSuccess());
    ASSERT_TRUE(data(LxHttpClient::Request(Method::head, urlOf(server.url("/echo")))).isSuccess());

    const auto requests = server.requests();
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].values("Accept"),
              (std::vector<std::string>{"text/plain", "application/json"}));
    EXPECT_EQ(requests[0].body, "{}");
    EXPECT_EQ(requests[1].method, "HEAD");
}

TEST_F(LxHttpClientTest, DataWithoutAnHttpAnswerIsInvalidResponseType) {
    const auto secret = test_files::put(test_files::sandbox() / "secret.txt", "secret");
    for (const auto& url : {urlOf(LocalHttpServer::refusedUrl()), platform::Url::fileURL(secret)}) {
        SCOPED_TRACE(url.string());
        const auto result = data(LxHttpClient::Request(Method::get, url));

        ASSERT_TRUE(result.isFailed());
        EXPECT_EQ(result.error()->kind(), HttpError::Case::invalidResponseType);
    }
}

TEST_F(LxHttpClientTest, JsonDecodesOrReportsWhatWentWrong) {
    server.route("/item", {.body = R"({"name":"Plan"})"});
    server.route("/broken", {.body = R"({"title":"Plan"})"});
    server.route("/missing", {.status = 404});

    const auto item = await<Item>(
        [&](auto completion) { LxHttpClient::json<Item>(urlOf(server.url("/item")), completion); });
    const auto broken = await<Item>([&](auto completion) {
        LxHttpClient::json<Item>(LxHttpClient::Request(Method::get, urlOf(server.url("/broken"))),
                                 completion);
    });
    const auto missing = await<Item>([&](auto completion) {
        LxHttpClient::json<Item>(urlOf(server.url("/missing")), completion);
    });

    ASSERT_TRUE(item.isSuccess());
    EXPECT_EQ(item.get().name, "Plan");
    ASSERT_TRUE(broken.isFailed());
    EXPECT_EQ(broken.error()->kind(), HttpError::Case::decodingFailure);
    EXPECT_TRUE(broken.error()->errorDescription().starts_with("Failed to decode json: "));
    EXPECT_TRUE(broken.error()->underlyingError()->is<platform::json::DecodingError>());
    ASSERT_TRUE(missing.isFailed());
    EXPECT_EQ(missing.error()->statusCode(), 404);
}

// Held in memory, such a body would take some 33 times its size once parsed.
TEST_F(LxHttpClientTest, JsonOfTinyValuesBeyondTheMemoryBoundIsADecodingFailure) {
    // 4 MiB of empty objects would take far more than the bound allows; a larger body only
    // makes the refusal slower to reach.
    std::string body = "[";
    while (body.size() < (std::size_t{4} << 20)) {
        body += "{},";
    }
    body.back() = ']';
    server.route("/many", {.body = std::move(body)});

    const auto result = await<std::vector<Item>>([&](auto completion) {
        LxHttpClient::json<std::vector<Item>>(urlOf(server.url("/many")), completion);
    });

    ASSERT_TRUE(result.isFailed());
    EXPECT_EQ(result.error()->kind(), HttpError::Case::decodingFailure);
    EXPECT_TRUE(result.error()->errorDescription().starts_with(
        "Failed to decode json: The data would take more than "))
        << result.error()->errorDescription();
}

TEST_F(LxHttpClientTest, FileWithoutATemporaryFolderIsADownloadFailureAndWritesNothing) {
    server.route("/file", {.body = "content"});
    const auto destination = test_files::sandbox() / "plan.orb";
    const auto current = test_files::sandbox() / "current";
    std::filesystem::create_directories(current);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(current);
    {
        ScopedEnvironment environment;
        environment.set("TMPDIR", (test_files::sandbox() / "missing").string());
        const auto result = file(server.url("/file"), destination);

        ASSERT_TRUE(result.isFailed());
        EXPECT_EQ(result.error()->kind(), HttpError::Case::downloadFailure);
    }
    std::filesystem::current_path(previous);
    EXPECT_FALSE(std::filesystem::exists(destination));
    EXPECT_EQ(test_files::entriesIn(current), 0);
}

// A body too large to hold or a peer that keeps a transfer barely moving fails it as any
// failed transfer does: no data handed out, no file written, the old one kept.
TEST_F(LxHttpClientTest, TransfersBeyondTheSessionsLimitsFailAndLeaveNothing) {
    const ScopedSessionLimits limits(ScopedSessionLimits::small());
    routePastSmallLimits(server);
    const auto destination = test_files::put(test_files::sandbox() / "plan.orb", "old content");

    for (const char* path : {"/large", "/trickle"}) {
        SCOPED_TRACE(path);
        const auto result = data(LxHttpClient::Request(Method::get, urlOf(server.url(path))));

        ASSERT_TRUE(result.isFailed());
        EXPECT_EQ(result.error()->kind(), HttpError::Case::invalidResponseType);
    }
    const auto downloaded = file(server.url("/trickle"), destination);

    ASSERT_TRUE(downloaded.isFailed());
    EXPECT_EQ(downloaded.error()->kind(), HttpError::Case::invalidResponseType);
    EXPECT_EQ(test_files::contentOf(destination), "old content");
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 1);  // no temporary left behind
}

TEST_F(LxHttpClientTest, FileWritesOnlyAnswersWithStatus200) {
    for (const int status : {200, 201, 204}) {
        SCOPED_TRACE(status);
        const std::string path = "/file/" + std::to_string(status);
        server.route(path, {.status = status, .body = status == 204 ? "" : "downloaded"});
        const auto destination = test_files::sandbox() / ("file-" + std::to_string(status));

        const auto result = file(server.url(path), destination);

        if (status == 200) {
            ASSERT_TRUE(result.isSuccess());
            EXPECT_EQ(result.get(), platform::Url::fileURL(destination));
            EXPECT_EQ(test_files::contentOf(destination), "downloaded");
        } else {
            ASSERT_TRUE(result.isFailed());
            EXPECT_EQ(result.error()->statusCode(), status);
            EXPECT_FALSE(std::filesystem::exists(destination));
        }
    }
}

TEST_F(LxHttpClientTest, FileReplacesAnExistingFileAndLeavesNoTemporaryBehind) {
    server.route("/file", {.body = "new content"});
    const auto folder = test_files::sandbox() / "downloads";
    std::filesystem::create_directory(folder);
    const auto destination = test_files::put(folder / "plan.orb", "old content");

    ASSERT_TRUE(file(server.url("/file"), destination).isSuccess());

    EXPECT_EQ(test_files::contentOf(destination), "new content");
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    EXPECT_EQ(test_files::entriesIn(folder), 1);
    EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 1);  // the session's copy is gone
}

TEST_F(LxHttpClientTest, FileRefusesAFolderAtTheDestinationAndLeavesItIntact) {
    server.route("/file", {.body = "new content"});
    const auto folder = test_files::sandbox() / "plan.orb";
    std::filesystem::create_directory(folder);
    test_files::put(folder / "inside.txt", "kept");

    const auto result = file(server.url("/file"), folder);

    ASSERT_TRUE(result.isFailed());
    EXPECT_EQ(result.error()->kind(), HttpError::Case::downloadFailure);
    EXPECT_EQ(test_files::contentOf(folder / "inside.txt"), "kept");
    EXPECT_EQ(test_files::entriesIn(folder), 1);
}

TEST_F(LxHttpClientTest, FileToADestinationThatIsNoFileUrlIsADownloadFailure) {
    server.route("/file", {.body = "content"});

    const auto result = await<platform::Url>([&](auto completion) {
        LxHttpClient::file(urlOf(server.url("/file")), urlOf(server.url("/elsewhere")), completion);
    });

    ASSERT_TRUE(result.isFailed());
    EXPECT_EQ(result.error()->errorDescription(), "Failed to download file: unknown error");
}

TEST_F(LxHttpClientTest, FileFromARefusedPortIsInvalidResponseType) {
    const auto destination = test_files::sandbox() / "never";

    const auto result = file(LocalHttpServer::refusedUrl(), destination);

    ASSERT_TRUE(result.isFailed());
    EXPECT_EQ(result.error()->kind(), HttpError::Case::invalidResponseType);
    EXPECT_FALSE(std::filesystem::exists(destination));
}

}  // namespace
