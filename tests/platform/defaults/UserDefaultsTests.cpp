#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/defaults/UserDefaults.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileManager.h"
#include "support/LogCapture.h"

namespace {

namespace fs = std::filesystem;
using platform::UserDefaults;

fs::path sandbox() {
    return fs::path(std::getenv("TMPDIR"));
}

TEST(UserDefaultsTest, EveryKindSurvivesAReloadAsItsOwnKind) {
    const fs::path file = sandbox() / "config" / "orbin-combine" / "defaults.json";
    {
        UserDefaults store(file);
        store.set("name", std::string("Anna / Berlin"));
        store.set("count", std::int64_t{5});
        store.set("width", 2.0);
        store.set("shown", true);
        store.set("blob", UserDefaults::Data{0, 255, 7});
        store.set("gone", std::string("soon"));
        store.removeObject("gone");
    }
    const UserDefaults reloaded(file);
    EXPECT_EQ(reloaded.object("name"), UserDefaults::Object(std::string("Anna / Berlin")));
    EXPECT_EQ(reloaded.object("count"), UserDefaults::Object(std::int64_t{5}));
    EXPECT_EQ(reloaded.object("width"), UserDefaults::Object(2.0));
    EXPECT_EQ(reloaded.object("shown"), UserDefaults::Object(true));
    EXPECT_EQ(reloaded.object("blob"), UserDefaults::Object(UserDefaults::Data{0, 255, 7}));
    EXPECT_EQ(reloaded.object("gone"), std::nullopt);
}

TEST(UserDefaultsTest, TypedReadsConvertOnlyWhatConvertsExactly) {
    UserDefaults store;
    store.set("text", std::string("5"));
    store.set("five", std::int64_t{5});
    store.set("one", std::int64_t{1});
    store.set("whole", 2.0);
    store.set("half", 2.5);
    store.set("huge", std::int64_t{9007199254740993});  // 2^53 + 1 has no double
    store.set("flag", true);
    store.set("bytes", UserDefaults::Data{1});

    EXPECT_EQ(store.integer("text"), std::nullopt);
    EXPECT_EQ(store.string("five"), std::nullopt);
    EXPECT_EQ(store.string("text"), "5");
    EXPECT_EQ(store.integer("whole"), 2);
    EXPECT_EQ(store.integer("half"), std::nullopt);
    EXPECT_EQ(store.double_("five"), 5.0);
    EXPECT_EQ(store.double_("huge"), std::nullopt);
    EXPECT_EQ(store.bool_("one"), true);
    EXPECT_EQ(store.bool_("five"), std::nullopt);
    EXPECT_EQ(store.bool_("flag"), true);
    EXPECT_EQ(store.integer("flag"), std::nullopt);
    EXPECT_EQ(store.data("text"), std::nullopt);
    EXPECT_EQ(store.data("bytes"), UserDefaults::Data{1});
    EXPECT_EQ(store.string("absent"), std::nullopt);
}

TEST(UserDefaultsTest, AnUnreadableFileIsLeftAsItWas) {
    const fs::path file = sandbox() / "defaults.json";
    platform::writeFileAtomically(file, "{\"width\": 3");
    LogCapture log;
    UserDefaults store(file);
    store.set("width", 4.0);

    EXPECT_EQ(store.double_("width"), 4.0);
    const auto content = platform::readFileContents(file);
    EXPECT_EQ(std::string(content.begin(), content.end()), "{\"width\": 3");
    EXPECT_TRUE(log.contains("could not be read")) << log.lines().size();
}

TEST(UserDefaultsTest, AFailedSaveIsLoggedAndTheChangeKept) {
    platform::writeFileAtomically(sandbox() / "plain", "not a folder");
    const fs::path file = sandbox() / "plain" / "defaults.json";
    LogCapture log;
    UserDefaults store(file);
    store.set("width", 4.0);
    EXPECT_EQ(store.double_("width"), 4.0);
    EXPECT_TRUE(log.contains("could not be saved"));
}

// The file's place comes from the environment (the configuration folder) and the failure's
// text names it again: neither may start a line of its own in the log.
TEST(UserDefaultsTest, AFolderNamedWithControlsIsWrittenEscaped) {
    const std::string forged =
        "\n[\xF0\x9F\x94\xB4 error] forged\xC2\x9B"
        "2J";
    const std::string escaped = "\\x0A[\xF0\x9F\x94\xB4 error] forged\\xC2\\x9B2J";
    const fs::path folder = sandbox() / ("config" + forged);
    struct Case {
        const char* name;
        fs::path file;
        std::string content;
        std::string line;
    };
    const Case cases[] = {
        {"unreadable", folder / "defaults.json", "{\"width\": 3",
         "User defaults at \"" + sandbox().string() + "/config" + escaped +
             "/defaults.json\" could not be read; changes are kept in memory only: "},
        {"folder is a file", folder / "plain" / "defaults.json", "",
         "User defaults could not be saved at \"" + sandbox().string() + "/config" + escaped +
             "/plain/defaults.json\": "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        platform::createFolder(folder);
        platform::writeFileAtomically(c.content.empty() ? c.file.parent_path() : c.file,
                                      c.content.empty() ? "not a folder" : c.content);
        const LogCapture log;
        UserDefaults store(c.file);
        store.set("width", 4.0);

        const auto lines = log.lines();
        ASSERT_EQ(lines.size(), 1U);
        EXPECT_NE(lines[0].find("] " + c.line), std::string::npos) << lines[0];
        EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\n'), 1) << lines[0];
    }
}

}  // namespace
