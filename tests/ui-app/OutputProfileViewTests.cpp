#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "platform/dispatch/Quiescence.h"
#include "support/FileTestHelpers.h"
#include "ui-app/CombineViewTest.h"
#include "ui-app/OutputProfileContentView.h"
#include "ui-app/OutputProfileView.h"
#include "ui-app/OutputView.h"
#include "ui-app/ViewTestSupport.h"

namespace {

namespace fs = std::filesystem;
using test_files::contentOf;
using test_files::sandbox;

// The output pane alone in a window that the holder of the main window knows.
class OutputProfileViewTest : public CombineViewTest {
protected:
    void SetUp() override {
        CombineViewTest::SetUp();
        window_ = std::make_unique<QWidget>();
        pane_ = new OutputProfileView(services());
        auto* layout = new QVBoxLayout(window_.get());
        layout->addWidget(pane_);
        window_->resize(520, 600);
        window_->show();
        userInterface_.attach(window_.get());
    }

    void TearDown() override {
        window_.reset();
        CombineViewTest::TearDown();
    }

    QPushButton* combineButton() const { return pane_->findChild<QPushButton*>("combineButton"); }
    QDialog* resultSheet() const { return window_->findChild<QDialog*>(); }

    // Presses "Combine" and waits for the save panel; null when it did not come.
    StubSavePanel::Request* combineUntilAsked() {
        waitUntilNoOverlay();
        const std::size_t asked = savePanel_.requests.size();
        QTest::mouseClick(combineButton(), Qt::LeftButton);
        if (!processEventsUntil([&] { return savePanel_.requests.size() > asked; })) {
            return nullptr;
        }
        return &savePanel_.requests.back();
    }

    std::unique_ptr<QWidget> window_;
    OutputProfileView* pane_ = nullptr;
};

TEST_F(OutputProfileViewTest, CombineAndTheContentComeWithTheProfileAndGoWithIt) {
    EXPECT_FALSE(combineButton()->isVisible());
    EXPECT_TRUE(descendants<OutputProfileContentView>(*pane_).empty());

    accept("a");
    EXPECT_TRUE(combineButton()->isVisible());
    EXPECT_EQ(combineButton()->text(), "Combine");
    ASSERT_EQ(descendants<OutputProfileContentView>(*pane_).size(), 1u);
    EXPECT_TRUE(descendants<OutputProfileContentView>(*pane_).front()->isVisible());

    engine_->clearSourceProjects();
    ASSERT_TRUE(processEventsUntil([&] { return !combineButton()->isVisible(); }));
    processEvents();
    EXPECT_TRUE(descendants<OutputProfileContentView>(*pane_).empty());
}

TEST_F(OutputProfileViewTest, ThePanelOffersTheProfileNameOrProjectAndOnlyOrbFiles) {
    accept("a");
    struct Case {
        std::string name;
        std::string offered;
    };
    const std::vector<Case> cases = {
        {"Combined Project", "Combined Project"},
        {"", "Project"},
        {"   ", "Project"},
        {"\n\t", "Project"},
        {"  Plan  ", "  Plan  "},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE("\"" + row.name + "\"");
        engine_->output()->setProjectName(row.name);
        log_.entries.clear();
        StubSavePanel::Request* request = combineUntilAsked();
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->window, window_.get());
        EXPECT_EQ(request->options, (platform::qt::SavePanelOptions{{"orb"}, false, row.offered}));
        EXPECT_EQ(log_.entries, (std::vector<std::string>{"present Combining ...", "dismiss"}));
        request->completion(std::nullopt);
    }
    processEvents();
    EXPECT_EQ(engine_->source()->projects().size(), 1u);
    EXPECT_EQ(engine_->output()->projectName(), "  Plan  ");
    EXPECT_EQ(resultSheet(), nullptr);
    EXPECT_FALSE(pane_->savedOrbFile()->value());
    EXPECT_TRUE(temporaryPackages().empty()) << "a cancelled save takes its package with it";
}

// The combined "package" holds the project's name; the user's file is replaced only by a whole
// copy of it.
TEST_F(OutputProfileViewTest, SavingReplacesTheChosenFileWholeOrLeavesItAsItWas) {
    accept("a");
    const fs::path out = sandbox() / "out";
    fs::create_directories(out / "folder" / "inside");
    struct Case {
        const char* name;
        std::optional<std::string> before;  // none: absent; "/": a folder
        bool packageRemoved;
        bool saved;
        bool packageDamaged = false;
    };
    const std::vector<Case> cases = {
        {"new file", std::nullopt, false, true},
        {"existing file", "an older plan, much longer than the new package", false, true},
        {"package gone", "an older plan", true, false},
        {"package damaged", "an older plan", false, false, true},
        {"folder", "/", false, false},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const std::string name = std::string("Plan ") + row.name;
        engine_->output()->setProjectName(name);
        const fs::path destination =
            row.before == "/" ? out / "folder" : out / (std::string(row.name) + ".orb");
        if (row.before && row.before != "/") {
            test_files::put(destination, *row.before);
        }
        log_.entries.clear();
        StubSavePanel::Request* request = combineUntilAsked();
        ASSERT_NE(request, nullptr);
        if (row.packageRemoved) {
            for (const fs::path& package : temporaryPackages()) {
                fs::remove(package);
            }
        }
        if (row.packageDamaged) {
            for (const fs::path& package : temporaryPackages()) {
                std::string bytes = contentOf(package);
                bytes.at(30 + 11) ^= 0x55;  // the first byte of the entry's data
                test_files::put(package, bytes);
            }
        }
        request->completion(destination);
        ASSERT_TRUE(processEventsUntil(
            [&] { return pane_->savedOrbFile()->isSome() || log_.entries.size() == 3; }));
        EXPECT_TRUE(temporaryPackages().empty()) << "the package goes once the copy is done";

        if (row.saved) {
            EXPECT_EQ(FakeDocuments::packagedName(destination), name);
            EXPECT_EQ(pane_->savedOrbFile()->value(), destination.string());
            ASSERT_NE(resultSheet(), nullptr);
            ASSERT_EQ(descendants<OutputView>(*resultSheet()).size(), 1u);
            EXPECT_EQ(descendants<OutputView>(*resultSheet()).front()->urlString(),
                      destination.string());
            pane_->savedOrbFile()->setIsSome(false);
            processEvents();
        } else {
            EXPECT_EQ(log_.entries.back(), "failure Failed to save!");
            EXPECT_FALSE(pane_->savedOrbFile()->isSome());
            EXPECT_EQ(resultSheet(), nullptr);
            if (row.before == "/") {
                EXPECT_TRUE(fs::is_directory(out / "folder" / "inside"));
            } else {
                EXPECT_EQ(contentOf(destination), *row.before);
            }
        }
    }
    EXPECT_EQ(test_files::entriesIn(out), 5) << "four files and the folder, no part file";
    EXPECT_EQ(pane_->savedOrbFile()->value(), (out / "existing file.orb").string())
        << "the last successful save is kept";
}

// The copy runs on after the pane has gone; what it reports to is let go of once it is done.
TEST_F(OutputProfileViewTest, ASaveChosenJustBeforeThePaneClosesStillCompletes) {
    accept("a");
    engine_->output()->setProjectName("Plan");
    StubSavePanel::Request* request = combineUntilAsked();
    ASSERT_NE(request, nullptr);
    const std::weak_ptr<OutputProfileView::SavedOrbFile> state = pane_->savedOrbFile();
    const fs::path destination = sandbox() / "closing.orb";
    request->completion(destination);
    window_.reset();
    ASSERT_TRUE(processEventsUntil([&] { return state.expired(); }));
    EXPECT_EQ(FakeDocuments::packagedName(destination), "Plan");
}

TEST_F(OutputProfileViewTest, AFailedCombineIsReportedAndOpensNoPanel) {
    accept("a");
    documents_->failSaving();
    log_.entries.clear();
    QTest::mouseClick(combineButton(), Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([&] { return log_.entries.size() == 3; }));
    EXPECT_EQ(log_.entries, (std::vector<std::string>{"present Combining ...", "dismiss",
                                                      "failure Combining failed"}));
    EXPECT_TRUE(savePanel_.requests.empty());
}

// The combine is held after it has taken its snapshots.
TEST_F(OutputProfileViewTest, CombineIsIgnoredWhileOneRunsAndNoPanelOpensOnceTheProfileIsGone) {
    accept("a");
    gate_->holdNextSave();
    QTest::mouseClick(combineButton(), Qt::LeftButton);
    ASSERT_TRUE(gate_->waitUntilHeld());
    combineButton()->click();

    engine_->clearSourceProjects();
    ASSERT_TRUE(processEventsUntil([&] { return !engine_->output()->profile(); }));
    gate_->release();
    ASSERT_TRUE(processEventsUntil([&] { return log_.entries.size() >= 3; }));
    ASSERT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    processEvents();

    EXPECT_EQ(documents_->saved().size(), 1u) << "one combine";
    EXPECT_EQ(log_.entries, (std::vector<std::string>{"present Loading ...", "dismiss",
                                                      "present Combining ...", "dismiss"}));
    EXPECT_TRUE(savePanel_.requests.empty());
    EXPECT_TRUE(temporaryPackages().empty()) << "with no one to ask, the package goes";
}

// "Close" has the focus when the sheet shows, so Return closes it.
TEST_F(OutputProfileViewTest, TheResultSheetShowsTheSavedPathAndReturnClosesIt) {
    accept("a");
    const fs::path destination = sandbox() / "Combined.orb";
    StubSavePanel::Request* request = combineUntilAsked();
    ASSERT_NE(request, nullptr);
    request->completion(destination);
    ASSERT_TRUE(processEventsUntil([&] { return resultSheet() != nullptr; }));
    QDialog* sheet = resultSheet();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);

    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    EXPECT_EQ(QApplication::focusWidget(), sheet->findChild<QPushButton*>("resultCloseButton"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    processEvents();
    EXPECT_TRUE(workspace_->selections.empty());
    EXPECT_EQ(resultSheet(), nullptr);
    EXPECT_FALSE(pane_->savedOrbFile()->isSome());
    EXPECT_EQ(pane_->savedOrbFile()->value(), destination.string());
}

}  // namespace
