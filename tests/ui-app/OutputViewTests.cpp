#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/manager/AppEvents.h"
#include "support/QtApplicationTest.h"
#include "ui-app/AppTestSupport.h"
#include "ui-app/LineLimitedLabel.h"
#include "ui-app/OutputView.h"
#include "ui-app/ViewTestSupport.h"

namespace {

const std::string kSaved = "/home/anna/Plans/Combined Project.orb";

// The result sheet's content over a fake workspace; the failure texts and closes are recorded.
class OutputViewTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        view_ = std::make_unique<OutputView>(kSaved, workspace_, events_, [this] { ++closes_; });
        view_->show();
    }

    void TearDown() override {
        view_.reset();
        QtApplicationTest::TearDown();
    }

    void click(const char* button) {
        auto* found = view_->findChild<QPushButton*>(button);
        ASSERT_NE(found, nullptr) << button;
        QTest::mouseClick(found, Qt::LeftButton);
    }

    const AppEvents events_;
    const std::shared_ptr<FakeWorkspace> workspace_ = std::make_shared<FakeWorkspace>();
    EventLog log_{events_};
    std::unique_ptr<OutputView> view_;
    int closes_ = 0;
};

TEST_F(OutputViewTest, OpenInOrbinLooksForTheMainEditionFirst) {
    struct Case {
        const char* name;
        std::set<std::string> installed;
        bool launches;
        std::vector<std::string> lookups;
        std::optional<std::string> opened;
        std::vector<std::string> failures;
    };
    const std::vector<Case> cases = {
        {"both editions",
         {kMainEditionAppId, kOtherEditionAppId},
         true,
         {kMainEditionAppId},
         kMainEditionAppId,
         {}},
        {"the other edition only",
         {kOtherEditionAppId},
         true,
         {kMainEditionAppId, kOtherEditionAppId},
         kOtherEditionAppId,
         {}},
        {"neither",
         {},
         true,
         {kMainEditionAppId, kOtherEditionAppId},
         std::nullopt,
         {"failure Please install Orbin to open the project file"}},
        {"the main edition does not start",
         {kMainEditionAppId},
         false,
         {kMainEditionAppId},
         kMainEditionAppId,
         {"failure Failed to open Orbin app"}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        *workspace_ = FakeWorkspace();
        workspace_->installed = row.installed;
        workspace_->launches = row.launches;
        log_.entries.clear();

        click("openInOrbinButton");

        EXPECT_EQ(workspace_->lookups, row.lookups);
        EXPECT_EQ(log_.entries, row.failures) << "sent at once";
        if (!row.opened) {
            EXPECT_TRUE(workspace_->openings.empty());
            continue;
        }
        ASSERT_EQ(workspace_->openings.size(), 1u);
        const FakeWorkspace::Opening& opening = workspace_->openings.front();
        EXPECT_EQ(opening.urls,
                  std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(kSaved))});
        EXPECT_EQ(opening.application, FakeWorkspace::locationOf(*row.opened));
        EXPECT_EQ(opening.options, 0x10000u);
        EXPECT_TRUE(opening.configuration.isEmpty());
    }
    EXPECT_EQ(closes_, 0);
    EXPECT_TRUE(view_->isVisible());
}

TEST_F(OutputViewTest, OnlyCloseClosesAndShowInFolderAsksEachTime) {
    click("revealInFinderButton");
    click("revealInFinderButton");
    EXPECT_EQ(workspace_->selections,
              (std::vector<std::pair<std::string, std::string>>{{kSaved, ""}, {kSaved, ""}}));
    EXPECT_EQ(closes_, 0);

    click("resultCloseButton");
    EXPECT_EQ(closes_, 1);
    EXPECT_TRUE(log_.entries.empty());
}

// Return and the keypad's Enter press whichever button has the focus; "Close" has it first.
TEST_F(OutputViewTest, ReturnAndEnterPressTheFocusedButton) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    EXPECT_EQ(QApplication::focusWidget(), view_->findChild<QPushButton*>("resultCloseButton"));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        *workspace_ = FakeWorkspace();
        workspace_->installed = {kMainEditionAppId};
        closes_ = 0;
        for (const char* name :
             {"revealInFinderButton", "openInOrbinButton", "resultCloseButton"}) {
            auto* button = view_->findChild<QPushButton*>(name);
            button->setFocus();
            QTest::keyClick(button, key);
        }
        EXPECT_EQ(workspace_->selections.size(), 1u);
        EXPECT_EQ(workspace_->openings.size(), 1u);
        EXPECT_EQ(closes_, 1);
    }
}

// Nothing the user can see happens when the file cannot be shown: the error dialog says so,
// whether the workspace knows at once or only later.
TEST_F(OutputViewTest, ShowInFolderReportsAFileThatCouldNotBeShown) {
    auto* button = view_->findChild<QPushButton*>("revealInFinderButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Show in Folder");
    const std::vector<std::string> failure = {
        "failure Failed to show the project file in its folder"};

    workspace_->selects = false;
    click("revealInFinderButton");
    EXPECT_EQ(log_.entries, failure);

    log_.entries.clear();
    workspace_->selects = true;
    click("revealInFinderButton");
    EXPECT_TRUE(log_.entries.empty()) << "nothing known yet";
    ASSERT_TRUE(workspace_->lastSelectFailure);
    workspace_->lastSelectFailure();
    EXPECT_EQ(log_.entries, failure);
    EXPECT_EQ(closes_, 0);
}

TEST_F(OutputViewTest, ALongPathWrapsInsideTheFixedSize) {
    const std::string longPath =
        "/home/anna/" + std::string(30, 'x') + "/" + std::string(120, 'y') + "/Combined.orb";
    OutputView view(longPath, workspace_, events_, [] {});
    view.show();
    processEvents();

    EXPECT_EQ(view.size(), QSize(460, 150));
    const auto* path = view.findChild<LineLimitedLabel*>("savedFilePath");
    ASSERT_NE(path, nullptr);
    const QStringList lines = path->shownLines();
    EXPECT_GE(lines.size(), 2);
    EXPECT_EQ(lines.join(""), QString::fromStdString(longPath)) << "wrapped, never cut";
    renderAndKeep(view, "result-sheet");
}

}  // namespace
