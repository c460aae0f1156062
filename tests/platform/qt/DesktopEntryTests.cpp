#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <QFile>
#include <QStringList>
#include <QUrl>
#include <gtest/gtest.h>

#include "platform/qt/DesktopEntry.h"
#include "platform/qt/FreedesktopWorkspace.h"
#include "support/FileTestHelpers.h"
#include "support/QtApplicationTest.h"
#include "support/ScopedEnvironment.h"

namespace {

namespace fs = std::filesystem;
using platform::qt::DesktopEntry;
using platform::qt::expandExec;
using platform::qt::FreedesktopWorkspace;
using test_files::sandbox;

TEST(DesktopEntry, ReadsOnlyItsOwnGroupWithEscapesResolved) {
    const auto entry = DesktopEntry::parse(
        "# an application\n"
        "Exec=before-the-group\n"
        "[Desktop Entry]\n"
        "Name=Orbin\n"
        "Type = Application\n"
        "Exec=\"/opt/Orbin\\sApp/orbin\" %U\r\n"
        "Exec=second\n"
        "[Desktop Action New]\n"
        "Hidden=true\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, "Application");
    EXPECT_EQ(entry->exec, "\"/opt/Orbin App/orbin\" %U");
    EXPECT_FALSE(entry->hidden);
    EXPECT_TRUE(entry->isLaunchable());

    EXPECT_FALSE(DesktopEntry::parse("[Other]\nType=Application\nExec=x\n"));
    struct Case {
        const char* text;
        bool launchable;
    };
    for (const Case& row : std::vector<Case>{
             {"[Desktop Entry]\nType=Link\nExec=x\n", false},
             {"[Desktop Entry]\nType=Application\nHidden=true\nExec=x\n", false},
             {"[Desktop Entry]\nType=Application\n", false},
             {"[Desktop Entry]\nType=Application\nExec=  \n", false},
             {"[Desktop Entry]\nType=Application\nHidden=false\nExec=x\n", true},
         }) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(DesktopEntry::parse(row.text).value().isLaunchable(), row.launchable);
    }
}

TEST(DesktopEntry, ACommandLineTakesTheFileAsOneArgumentWhateverItHolds) {
    const fs::path file = "/tmp/a b$(x) \"q\" 100%.orb";
    const QString path = QString::fromStdString(file.string());
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    struct Case {
        QString exec;
        std::optional<QStringList> command;
    };
    const std::vector<Case> cases = {
        {"orbin %F", QStringList{"orbin", path}},
        {"\"/opt/Orbin App/orbin\" --open %u", QStringList{"/opt/Orbin App/orbin", "--open", url}},
        {"orbin", QStringList{"orbin", path}},
        {"orbin %%x %f", QStringList{"orbin", "%x", path}},
        {"orbin --file=%f", QStringList{"orbin", "--file=" + path}},
        {"orbin %i %c %k --new %U", QStringList{"orbin", "--new", url}},
        {"\"/opt/say \\\"hi\\\"\"  \"\" %f", QStringList{"/opt/say \"hi\"", "", path}},
        {"flatpak run --file-forwarding app.orbin.Orbin @@u %U @@",
         QStringList{"flatpak", "run", "--file-forwarding", "app.orbin.Orbin", "@@u", url, "@@"}},
        {"\"/opt/unclosed %f", std::nullopt},
        {"   ", std::nullopt},
        {"%i", std::nullopt},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.exec.toStdString());
        EXPECT_EQ(expandExec(row.exec, file), row.command);
    }
    EXPECT_EQ(QUrl(url).toLocalFile(), path);
}

// Applications folders in a sandbox: the user's first, then the system's.
class FreedesktopWorkspaceTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        fs::create_directories(user_);
        fs::create_directories(system_);
    }

    static void install(const fs::path& folder, const std::string& id, const std::string& entry) {
        test_files::put(folder / (id + ".desktop"), "[Desktop Entry]\n" + entry);
    }

    const fs::path user_ = sandbox() / "user" / "applications";
    const fs::path system_ = sandbox() / "system" / "applications";
    FreedesktopWorkspace workspace_{{user_, system_}};
};

TEST_F(FreedesktopWorkspaceTest, TheFirstFolderWithAnEntryDecides) {
    install(system_, "app.orbin.Orbin", "Type=Application\nExec=orbin %f\n");
    EXPECT_EQ(workspace_.urlForApplication("app.orbin.Orbin"), system_ / "app.orbin.Orbin.desktop");

    install(user_, "app.orbin.Orbin", "Type=Application\nExec=my-orbin %f\n");
    EXPECT_EQ(workspace_.urlForApplication("app.orbin.Orbin"), user_ / "app.orbin.Orbin.desktop");

    install(user_, "app.orbin.Orbin", "Type=Application\nHidden=true\nExec=orbin\n");
    EXPECT_EQ(workspace_.urlForApplication("app.orbin.Orbin"), std::nullopt);
    EXPECT_EQ(workspace_.urlForApplication("app.orbin.Missing"), std::nullopt);
}

// The command records its arguments beside itself; the launch returns before it has run.
TEST_F(FreedesktopWorkspaceTest, OpeningAFileStartsTheEntrysCommandWithIt) {
    const fs::path recorder = sandbox() / "bin" / "record arguments";
    fs::create_directories(recorder.parent_path());
    test_files::put(recorder,
                    "#!/bin/sh\n"
                    "out=\"$(dirname \"$0\")/arguments\"\n"
                    "printf '%s\\n' \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n");
    fs::permissions(recorder, fs::perms::owner_all);
    install(system_, "app.orbin.Orbin",
            "Type=Application\nExec=\"" + recorder.string() + "\" --open %f\n");
    const fs::path saved = sandbox() / "Combined $(date) 'x' \"y\" 100%.orb";
    test_files::put(saved);

    const auto application = workspace_.urlForApplication("app.orbin.Orbin");
    ASSERT_TRUE(application);
    EXPECT_TRUE(workspace_.openURLs({QUrl::fromLocalFile(QString::fromStdString(saved.string()))},
                                    *application, platform::qt::Workspace::launchesAsynchronously,
                                    {}));

    const fs::path recorded = recorder.parent_path() / "arguments";
    ASSERT_TRUE(processEventsUntil([&] { return fs::exists(recorded); }));
    EXPECT_EQ(test_files::contentOf(recorded), "--open\n" + saved.string() + "\n");
    EXPECT_FALSE(workspace_.openURLs({QUrl("https://example.org/a.orb")}, *application, 0, {}));
    EXPECT_FALSE(workspace_.openURLs({QUrl::fromLocalFile("/tmp/a.orb")},
                                     system_ / "missing.desktop", 0, {}));
}

// A desktop with no file manager on a bus (none at all here) gets the folder opened instead;
// when that cannot be done either, the caller hears so.
TEST_F(FreedesktopWorkspaceTest, WithoutAFileManagerTheFolderIsOpenedOrTheFailureReported) {
    ScopedEnvironment environment;
    environment.set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (sandbox() / "no-bus").string());
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        std::vector<QUrl> opened;
        FreedesktopWorkspace workspace({user_}, [&](const QUrl& folder) {
            opened.push_back(folder);
            return opens;
        });
        int laterFailures = 0;
        EXPECT_EQ(
            workspace.selectFile("/home/anna/Plans/Combined.orb", "", [&] { ++laterFailures; }),
            opens);
        EXPECT_EQ(opened, std::vector<QUrl>{QUrl::fromLocalFile("/home/anna/Plans")});
        processEvents();
        EXPECT_EQ(laterFailures, 0) << "told once, by the answer";
    }
}

}  // namespace
