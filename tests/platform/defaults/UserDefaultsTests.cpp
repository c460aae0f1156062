#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/defaults/UserDefaults.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileRead.h"
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
    EXPECT_EQ(platform::readFile(file), "{\"width\": 3");
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

// Sets or unsets the two variables for one row, and puts them back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* xdgConfigHome, const char* home)
        : xdg_(saved("XDG_CONFIG_HOME")), home_(saved("HOME")) {
        assign("XDG_CONFIG_HOME", xdgConfigHome);
        assign("HOME", home);
    }
    ~ScopedEnvironment() {
        assign("XDG_CONFIG_HOME", xdg_ ? xdg_->c_str() : nullptr);
        assign("HOME", home_ ? home_->c_str() : nullptr);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static std::optional<std::string> saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void assign(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    std::optional<std::string> xdg_;
    std::optional<std::string> home_;
};

TEST(UserDefaultsTest, TheDefaultFileFollowsTheConfigurationFolder) {
    struct Row {
        const char* xdgConfigHome;
        const char* home;
        std::optional<fs::path> expected;
    };
    const Row rows[] = {
        {"/xdg", "/home/anna", fs::path("/xdg/orbin-combine/defaults.json")},
        {nullptr, "/home/anna", fs::path("/home/anna/.config/orbin-combine/defaults.json")},
        {"", "/home/anna", fs::path("/home/anna/.config/orbin-combine/defaults.json")},
        {"relative", "/home/anna", fs::path("/home/anna/.config/orbin-combine/defaults.json")},
        {nullptr, nullptr, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.xdgConfigHome ? row.xdgConfigHome : "(unset)") + ", " +
                     (row.home ? row.home : "(unset)"));
        const ScopedEnvironment environment(row.xdgConfigHome, row.home);
        EXPECT_EQ(platform::defaultUserDefaultsFile(), row.expected);
    }
}

}  // namespace
