#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "folder/LxFolder.h"
#include "platform/dispatch/MainQueue.h"
#include "support/QtApplicationTest.h"
#include "ui-app/LineLimitedLabel.h"
#include "ui-app/SourceProjectDrop.h"
#include "ui-app/SourceProjectListView.h"
#include "ui-app/ViewStyle.h"
#include "ui-app/ViewTestSupport.h"

namespace {

using std::filesystem::path;

// A shown source list over an engine of its own; the packages it hands on are recorded.
class SourceProjectListViewTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        pane_ = std::make_unique<SourceProjectListView>(
            engine_, [this](const path& file) { handedOver_.push_back(file); });
        pane_->resize(340, 480);
        pane_->show();
    }

    void TearDown() override {
        pane_.reset();
        processEvents();
        QtApplicationTest::TearDown();
    }

    std::pair<bool, Qt::DropAction> drop(const QList<QUrl>& urls) {
        return dropFiles(*pane_, urls);
    }

    CombineSource::Project listed(const std::string& name, const std::string& file) {
        return {0, file, OrbProject::create("uid-" + name, name), LxFolder("/tmp/work", false)};
    }

    std::vector<QStringList> shownRows() const {
        std::vector<QStringList> rows;
        for (const QWidget* row : pane_->findChildren<QWidget*>("sourceProjectRow")) {
            QStringList texts;
            for (const QLabel* label : row->findChildren<QLabel*>()) {
                texts << label->text();
            }
            texts << descendants<LineLimitedLabel>(*row).front()->text();
            rows.push_back(texts);
        }
        return rows;
    }

    QPushButton* clearButton() const {
        return pane_->findChild<QPushButton*>("sourcesClearButton");
    }
    QDialog* problemsSheet() const { return pane_->window()->findChild<QDialog*>(); }

    const std::shared_ptr<CombineManager> engine_ = CombineManager::create(AppEvents());
    std::unique_ptr<SourceProjectListView> pane_;
    std::vector<path> handedOver_;
};

QUrl local(const char* file) {
    return QUrl::fromLocalFile(file);
}

TEST_F(SourceProjectListViewTest, ADropHandsOnOnlyItsFirstFileAndOnlyAProjectPackage) {
    struct Case {
        const char* name;
        QList<QUrl> urls;
        bool sheetShown;
        bool taken;
        std::vector<path> handedOver;
    };
    const std::vector<Case> cases = {
        {"three packages",
         {local("/d/a.orb"), local("/d/b.orb"), local("/d/c.orb")},
         false,
         true,
         {"/d/a.orb"}},
        {"upper case", {local("/d/X.ORBX")}, false, true, {"/d/X.ORBX"}},
        {"zipped package", {local("/d/a.orb.zip")}, false, true, {}},
        {"text file", {local("/d/a.txt")}, false, true, {}},
        {"no extension", {local("/d/noext")}, false, true, {}},
        {"hidden file", {local("/d/.orb")}, false, true, {}},
        {"a text file first", {local("/d/a.txt"), local("/d/b.orb")}, false, true, {}},
        {"web address", {QUrl("http://h/a.orb")}, false, false, {}},
        {"web address first",
         {QUrl("http://h/a.orb"), local("/d/b.Orb")},
         false,
         true,
         {"/d/b.Orb"}},
        {"while the problems sheet is shown", {local("/d/a.orb")}, true, false, {}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        handedOver_.clear();
        if (row.sheetShown) {
            pane_->projectLoadingProblemState()->change(CombineSource::ValidationResult{});
        }
        const auto [taken, action] = drop(row.urls);
        EXPECT_EQ(taken, row.taken);
        if (taken) {
            EXPECT_EQ(action, Qt::CopyAction);
        }
        EXPECT_EQ(handedOver_, row.handedOver);
        pane_->projectLoadingProblemState()->setIsSome(false);
    }
}

TEST_F(SourceProjectListViewTest, RowsFollowTheEngineListAndClearEmptiesIt) {
    auto* hint = pane_->findChild<QLabel*>("sourcesDropHint");
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), "Please drop .orb files here");
    EXPECT_TRUE(shownRows().empty());
    EXPECT_FALSE(clearButton()->isVisible());

    engine_->source()->append(listed("Plan <b>A</b>", "/drops/a.orb"));
    engine_->source()->append(listed("Plan B", "/drops/b.orb"));
    EXPECT_EQ(shownRows(), (std::vector<QStringList>{{"#1", "Plan <b>A</b>", "/drops/a.orb"},
                                                     {"#2", "Plan B", "/drops/b.orb"}}));
    EXPECT_TRUE(clearButton()->isVisible());
    EXPECT_EQ(clearButton()->text(), "Clear");

    QTest::mouseClick(clearButton(), Qt::LeftButton);
    EXPECT_TRUE(engine_->source()->projects().empty());
    EXPECT_TRUE(shownRows().empty());
    EXPECT_FALSE(clearButton()->isVisible());
    EXPECT_TRUE(hint->isVisible());
}

// A source appended leaves the rows above it as they were; a change of palette gives every row
// the inks of the new one at the next change of the list.
TEST_F(SourceProjectListViewTest, AnAppendKeepsTheShownRowsUntilThePaletteChanges) {
    const auto rowWidgets = [this] { return pane_->findChildren<QWidget*>("sourceProjectRow"); };
    const auto pathInk = [](const QWidget* row) {
        return descendants<LineLimitedLabel>(*row).front()->palette().color(QPalette::WindowText);
    };
    engine_->source()->append(listed("Plan A", "/drops/a.orb"));
    const QList<QWidget*> before = rowWidgets();
    ASSERT_EQ(before.size(), 1);
    engine_->source()->append(listed("Plan B", "/drops/b.orb"));
    const QList<QWidget*> after = rowWidgets();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after.front(), before.front());
    const QColor lightInk = pathInk(after.front());

    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::WindowText, QColor(236, 236, 236));
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    QApplication::setPalette(dark);
    engine_->source()->append(listed("Plan C", "/drops/c.orb"));
    const QList<QWidget*> darkRows = rowWidgets();
    ASSERT_EQ(darkRows.size(), 3);
    EXPECT_NE(pathInk(darkRows.front()), lightInk);
    for (const QWidget* row : darkRows) {
        EXPECT_EQ(pathInk(row), pathInk(darkRows.back()));
    }
    EXPECT_EQ(shownRows(), (std::vector<QStringList>{{"#1", "Plan A", "/drops/a.orb"},
                                                     {"#2", "Plan B", "/drops/b.orb"},
                                                     {"#3", "Plan C", "/drops/c.orb"}}));
    QApplication::setPalette(original);
}

TEST_F(SourceProjectListViewTest, ARowShowsALongPathOnOneLineAndThePaneRenders) {
    const std::string longPath =
        "/home/anna/" + QString("projects/").repeated(20).toStdString() + "Roll-out 2025.orb";
    engine_->source()->append(listed("Roll-out", longPath));
    engine_->source()->append(listed("Maintenance", "/drops/maintenance.orb"));
    processEvents();

    const auto* shownPath = pane_->findChild<LineLimitedLabel*>("sourceProjectPath");
    ASSERT_NE(shownPath, nullptr);
    const QStringList lines = shownPath->shownLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.front().contains(QChar(0x2026)));
    EXPECT_TRUE(lines.front().endsWith("Roll-out 2025.orb"));
    renderAndKeep(*pane_, "source-list");
}

TEST_F(SourceProjectListViewTest, ARejectedProjectOpensTheProblemsSheetAndBlocksDropsUntilClosed) {
    const CombineSource::ValidationResult problems{.currency = "USD instead of EUR"};
    engine_->projectValidatingFailedEvent()->send(problems);
    EXPECT_EQ(problemsSheet(), nullptr) << "opened inside the sender's call";
    platform::dispatch::runUntilIdle();
    ASSERT_NE(problemsSheet(), nullptr);
    EXPECT_TRUE(problemsSheet()->isVisible());
    EXPECT_TRUE(pane_->projectLoadingProblemState()->isSome());
    EXPECT_FALSE(drop({local("/d/a.orb")}).first);

    auto* close = problemsSheet()->findChild<QPushButton*>("problemsCloseButton");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    processEvents();
    EXPECT_EQ(problemsSheet(), nullptr);
    EXPECT_FALSE(pane_->projectLoadingProblemState()->isSome());
    EXPECT_EQ(pane_->projectLoadingProblemState()->value(), problems);
    EXPECT_TRUE(drop({local("/d/a.orb")}).first);
    EXPECT_EQ(handedOver_, std::vector<path>{"/d/a.orb"});
}

// Without a hand-off of its own the pane gives the package to the engine, which asks for the
// overlay and, with no way to open packages, reports the failure.
TEST_F(SourceProjectListViewTest, ByDefaultADroppedPackageGoesToTheEngine) {
    const AppEvents events;
    const auto engine = CombineManager::create(events);
    SourceProjectListView pane(engine, {});
    pane.show();
    std::vector<std::string> requests;
    auto overlay = events.hudPresentingRequest()->subject().sink(
        [&](const std::optional<std::string>& caption) { requests.push_back(*caption); });
    auto failure = events.failurePresentRequest()->subject().sink(
        [&](const std::string& text) { requests.push_back(text); });

    EXPECT_TRUE(dropFiles(pane, {local("/nowhere/plan.orb")}).first);
    ASSERT_TRUE(platform::dispatch::runUntil([&] { return requests.size() == 2; },
                                             std::chrono::seconds(5)));
    EXPECT_EQ(requests, (std::vector<std::string>{"Loading ...", "Loading project failed"}));
}

// The sheet is built with the result of its moment; a newer one, sent while it is up, shows
// once the user has closed the older one.
TEST_F(SourceProjectListViewTest, AResultThatArrivesWhileTheSheetIsUpOpensItAgainAfterClose) {
    const auto shownCurrency = [this]() -> QString {
        QDialog* sheet = problemsSheet();
        if (sheet == nullptr || !sheet->isVisible()) {
            return {};
        }
        for (const LineLimitedLabel* problem : descendants<LineLimitedLabel>(*sheet)) {
            return problem->text();
        }
        return {};
    };
    engine_->projectValidatingFailedEvent()->send({.currency = "first"});
    platform::dispatch::runUntilIdle();
    ASSERT_EQ(shownCurrency(), "first");
    engine_->projectValidatingFailedEvent()->send({.currency = "second"});
    platform::dispatch::runUntilIdle();
    EXPECT_EQ(shownCurrency(), "first") << "the open sheet stays as it is";

    QTest::mouseClick(problemsSheet()->findChild<QPushButton*>("problemsCloseButton"),
                      Qt::LeftButton);
    processEvents();
    platform::dispatch::runUntilIdle();
    EXPECT_EQ(shownCurrency(), "second");

    QTest::mouseClick(problemsSheet()->findChild<QPushButton*>("problemsCloseButton"),
                      Qt::LeftButton);
    processEvents();
    platform::dispatch::runUntilIdle();
    processEvents();
    EXPECT_EQ(shownCurrency(), "") << "shown once, not again";
    EXPECT_FALSE(pane_->projectLoadingProblemState()->isSome());
}

// Secondary text reads at 4.5:1 or better against what is painted behind it, in a light and in a
// dark palette.
TEST_F(SourceProjectListViewTest, SecondaryTextReachesTheContrastOfBodyText) {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::WindowText, QColor(236, 236, 236));
    dark.setColor(QPalette::Text, QColor(236, 236, 236));
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    for (const auto& [name, palette] : {std::pair{"light", original}, std::pair{"dark", dark}}) {
        SCOPED_TRACE(name);
        QApplication::setPalette(palette);
        SourceProjectListView view(engine_, [](const path&) {});
        view.resize(340, 480);
        view.show();
        engine_->source()->append(listed("Roll-out", "/home/anna/Plans/Roll-out.orb"));
        processEvents();
        const QImage picture = view.grab().toImage();
        const std::vector<const QWidget*> secondary = {
            view.findChild<QLabel*>("sourcesDropHint"),
            view.findChild<LineLimitedLabel*>("sourceProjectPath")};
        for (const QWidget* text : secondary) {
            ASSERT_NE(text, nullptr);
            SCOPED_TRACE(text->objectName().toStdString());
            // The label's own corner holds no glyph: it shows what lies behind the text.
            const QColor background = picture.pixelColor(text->mapTo(&view, QPoint(0, 0)));
            const QColor ink = text->palette().color(QPalette::WindowText);
            EXPECT_GE(lx::contrastRatio(ink, background), lx::kMinimumTextContrast);
        }
        engine_->source()->removeAll();
    }
    QApplication::setPalette(original);
}

TEST(ReadableTextColorTest, KeepsReadableColoursAndDarkensOrLightensTheRest) {
    struct Case {
        const char* name;
        QColor preferred;
        QColor background;
        std::optional<QColor> expected;
    };
    const std::vector<Case> cases = {
        {"already readable", QColor(0, 0, 0), QColor(255, 255, 255), QColor(0, 0, 0)},
        {"faint black on white", QColor(0, 0, 0, 66), QColor(255, 255, 255), std::nullopt},
        {"light text on the light pane", QColor(236, 236, 236, 66), QColor(255, 255, 255),
         std::nullopt},
        {"faint white on black", QColor(255, 255, 255, 66), QColor(0, 0, 0), std::nullopt},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const QColor shown = lx::readableTextColor(row.preferred, row.background);
        EXPECT_EQ(shown.alpha(), 255);
        const double contrast = lx::contrastRatio(shown, row.background);
        EXPECT_GE(contrast, lx::kTextInkContrast);
        if (row.expected) {
            EXPECT_EQ(shown, *row.expected);
        } else {
            EXPECT_LT(contrast, lx::kTextInkContrast + 0.5) << "no darker than it must be";
        }
    }
    EXPECT_NEAR(lx::contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
}

}  // namespace
