#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/PercentEncoding.h"
#include "platform/http/Url.h"

namespace {

using platform::Url;

TEST(UrlTest, AcceptsOnlyAbsoluteUrlsWithoutSpaces) {
    for (const char* text : {"", "items", "/api/items", "mailto:anna@example.org", "://host",
                             "http://exa mple.org/", "http://host/a\nb", "http://[::1"}) {
        EXPECT_EQ(Url::make(text), std::nullopt) << text;
    }
    for (const char* text : {"http://127.0.0.1", "https://example.org/a?b=1#c", "file:///tmp/x.png",
                             "ftp://127.0.0.1/x"}) {
        EXPECT_NE(Url::make(text), std::nullopt) << text;
    }
}

TEST(UrlTest, ReadsItsPartsAsWritten) {
    const auto url = Url::make("HTTP://user:pw@127.0.0.1:8080/api/a%20b?x=1&y=%26").value();

    EXPECT_EQ(url.string(), "HTTP://user:pw@127.0.0.1:8080/api/a%20b?x=1&y=%26");
    EXPECT_EQ(url.scheme(), "http");
    EXPECT_EQ(url.host(), "127.0.0.1");
    EXPECT_EQ(url.port(), 8080);
    EXPECT_EQ(url.path(), "/api/a%20b");
    EXPECT_EQ(url.query(), "x=1&y=%26");
    EXPECT_FALSE(url.isFileURL());
    EXPECT_EQ(url.filePath(), std::nullopt);

    const auto bare = Url::make("https://example.org").value();
    EXPECT_EQ(bare.port(), std::nullopt);
    EXPECT_EQ(bare.path(), "/");
    EXPECT_EQ(bare.query(), std::nullopt);
}

TEST(UrlTest, FileUrlsRoundTripTheirPath) {
    const auto url = Url::fileURL("/tmp/my plan #1.orb");

    EXPECT_EQ(url.string(), "file:///tmp/my%20plan%20%231.orb");
    EXPECT_TRUE(url.isFileURL());
    EXPECT_EQ(url.filePath(), std::filesystem::path("/tmp/my plan #1.orb"));
}

TEST(PercentEncodingTest, QueryItemsKeepOnlyUnreservedCharacters) {
    EXPECT_EQ(platform::percentEncoded("a&b=c#d+e f/~._-", platform::UrlPart::queryItem),
              "a%26b%3Dc%23d%2Be%20f%2F~._-");
    EXPECT_EQ(platform::percentEncoded("a b/c:d@e?f#", platform::UrlPart::path),
              "a%20b/c:d@e%3Ff%23");
    EXPECT_EQ(platform::percentEncoded("\xC3\xA9", platform::UrlPart::queryItem), "%C3%A9");
}

}  // namespace
