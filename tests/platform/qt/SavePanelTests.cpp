#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/qt/SavePanel.h"
#include "support/FileTestHelpers.h"
#include "support/QtApplicationTest.h"
#include "support/ScopedEnvironment.h"

namespace {

namespace fs = std::filesystem;
using platform::qt::SavePanelOptions;

const SavePanelOptions kOrbOnly{{"orb"}, false, "Combined Project"};

TEST(SavePanel, ANameGetsTheAllowedExtensionUnlessItHasIt) {
    struct Case {
        QString name;
        SavePanelOptions options;
        QString saved;
    };
    const std::vector<Case> cases = {
        {"/d/plan.orb", kOrbOnly, "/d/plan.orb"},
        {"/d/plan.ORB", kOrbOnly, "/d/plan.ORB"},
        {"/d/plan", kOrbOnly, "/d/plan.orb"},
        {"/d/plan.txt", kOrbOnly, "/d/plan.txt.orb"},
        {"/d/Roll-out v1.2", kOrbOnly, "/d/Roll-out v1.2.orb"},
        {"/d/plan.", kOrbOnly, "/d/plan.orb"},
        {"/d/plan.orbx", kOrbOnly, "/d/plan.orbx.orb"},
        {"/d/plan.txt", {{"orb"}, true, ""}, "/d/plan.txt"},
        {"/d/plan.txt", {{}, false, ""}, "/d/plan.txt"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name.toStdString());
        EXPECT_EQ(platform::qt::withAllowedFileType(row.name, row.options), row.saved);
    }
}

// Qt's dialog on a window: what it offers, and the path it hands back.
class FileDialogSavePanelTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        window_ = std::make_unique<QWidget>();
        window_->show();
    }

    void TearDown() override {
        window_.reset();
        processEvents();
        QtApplicationTest::TearDown();
    }

    QFileDialog* open(const SavePanelOptions& options,
                      const platform::qt::SavePanel& panel = platform::qt::fileDialogSavePanel()) {
        panel(window_.get(), options,
              [this](const std::optional<fs::path>& chosen) { completions_.push_back(chosen); });
        return window_->findChild<QFileDialog*>();
    }

    // Types `name` into the dialog's name field in `folder` (the sandbox when none) and accepts.
    void save(QFileDialog& dialog, const QString& name,
              const fs::path& folder = test_files::sandbox()) {
        dialog.setDirectory(QString::fromStdString(folder.string()));
        auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(field, nullptr);
        field->setText(name);
        QMetaObject::invokeMethod(&dialog, "accept");
        processEvents();
    }

    std::unique_ptr<QWidget> window_;
    std::vector<std::optional<fs::path>> completions_;
};

TEST_F(FileDialogSavePanelTest, OffersTheNameAndTheTypeAsASheetOnTheWindow) {
    QFileDialog* dialog = open(kOrbOnly);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"*.orb"});
    EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), "Combined Project");
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    dialog->reject();
    processEvents();
    EXPECT_EQ(completions_, std::vector<std::optional<fs::path>>{std::nullopt});
    EXPECT_EQ(window_->findChild<QFileDialog*>(), nullptr);
}

TEST_F(FileDialogSavePanelTest, TheChosenNameEndsInTheAllowedType) {
    const fs::path folder = test_files::sandbox();
    for (const char* name : {"plan", "plan.txt", "plan.orb"}) {
        save(*open(kOrbOnly), name);
    }
    EXPECT_EQ(completions_,
              (std::vector<std::optional<fs::path>>{folder / "plan.orb", folder / "plan.txt.orb",
                                                    folder / "plan.orb"}));
}

// Not the current folder: the user's documents, until a save went elsewhere in this run.
TEST_F(FileDialogSavePanelTest, OpensInTheDocumentsThenWhereTheLastSaveWent) {
    const fs::path home = test_files::sandbox() / "home";
    const fs::path documents = home / "Documents";
    const fs::path elsewhere = test_files::sandbox() / "Plans";
    fs::create_directories(documents);
    fs::create_directories(elsewhere);
    ScopedEnvironment environment;
    environment.set("HOME", home.string());
    environment.unset("XDG_CONFIG_HOME");
    const auto folderOf = [](const QFileDialog& dialog) {
        return fs::path(dialog.directory().absolutePath().toStdString());
    };

    const platform::qt::SavePanel panel = platform::qt::fileDialogSavePanel();
    QFileDialog* first = open(kOrbOnly, panel);
    EXPECT_EQ(folderOf(*first), documents);
    save(*first, "plan", elsewhere);
    ASSERT_EQ(completions_.back(), elsewhere / "plan.orb");

    QFileDialog* second = open(kOrbOnly, panel);
    EXPECT_EQ(folderOf(*second), elsewhere);
    second->reject();
    processEvents();
    QFileDialog* third = open(kOrbOnly, panel);
    EXPECT_EQ(folderOf(*third), elsewhere) << "a cancelled panel changes nothing";
    third->reject();
    processEvents();

    QFileDialog* nextRun = open(kOrbOnly);
    EXPECT_EQ(folderOf(*nextRun), documents);
    nextRun->reject();
    processEvents();
}

}  // namespace
