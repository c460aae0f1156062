#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

#include "support/FileTestHelpers.h"
#include "ui-app/AppDelegate.h"
#include "ui-app/CombineViewTest.h"
#include "ui-app/MainView.h"
#include "ui-app/MainWindowTest.h"
#include "ui-app/OutputProfileView.h"
#include "ui-app/OutputView.h"
#include "ui-app/SourceProjectListView.h"
#include "ui-app/ViewTestSupport.h"
#include "ui-kit/LxDialog.h"

namespace {

namespace fs = std::filesystem;
using test_files::sandbox;

TEST_F(MainWindowTest, ThePanesSitSideBySideInAWindowGrownToHoldThem) {
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(mainView().sourcePane()->width(), 340);
    EXPECT_EQ(mainView().outputPane()->width(), 520);
    EXPECT_EQ(mainView().outputPane()->x() - mainView().sourcePane()->geometry().right() - 1, 6);
    EXPECT_GE(window().width(), 878);
    EXPECT_GE(window().height(), 480);
    const QPoint offCentre =
        window().frameGeometry().center() - window().screen()->availableGeometry().center();
    // Centred before it was shown, when the title bar's size was not known yet.
    EXPECT_LE(offCentre.manhattanLength(), 8);
    EXPECT_EQ(userInterface_.mainWindow(), &window());
}

// Made wider, both panes grow, in the proportion they start with, so that long paths get room.
TEST_F(MainWindowTest, ThePanesShareExtraWidth) {
    window().resize(1400, 700);
    processEvents();
    const int source = mainView().sourcePane()->width();
    const int output = mainView().outputPane()->width();
    EXPECT_EQ(source + output + 3 * 6, mainView().width());
    EXPECT_NEAR(source / 340.0, output / 520.0, 0.01);
    EXPECT_EQ(mainView().sourcePane()->height(), mainView().height() - 2 * 6);
}

// A 1280 × 800 screen at 150 % leaves 853 × 533 logical pixels, less the desktop's panels.
class SmallScreenMainWindowTest : public MainWindowTest {
protected:
    std::string screenSize() const override {
        return R"("width": 1280, "height": 800, "dpr": 1.5)";
    }
};

TEST_F(SmallScreenMainWindowTest, TheWindowFitsTheScreen) {
    const QSize minimum = window().minimumSizeHint();
    EXPECT_LE(minimum.width(), 850);
    EXPECT_LE(minimum.height(), 520);
    EXPECT_TRUE(window().screen()->availableGeometry().contains(window().geometry()))
        << "the window starts inside the screen";
    keepPicture(picture(), "main-window-small-screen");
}

TEST_F(MainWindowTest, CtrlWAndCtrlQCloseTheWindow) {
    for (const Qt::Key key : {Qt::Key_W, Qt::Key_Q}) {
        SCOPED_TRACE(key);
        delegate_->setupMainWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(&window(), key, Qt::ControlModifier);
        EXPECT_FALSE(window().isVisible());
    }
}

// A sheet keeps the keyboard, yet the window's keys still close the window, the sheet first.
TEST_F(MainWindowTest, CtrlWAndCtrlQCloseTheWindowAlsoFromASheet) {
    for (const Qt::Key key : {Qt::Key_W, Qt::Key_Q}) {
        SCOPED_TRACE(key);
        delegate_->setupMainWindow();
        accept(key == Qt::Key_W ? "w" : "q");
        engine_->projectValidatingFailedEvent()->send(
            CombineSource::ValidationResult{.currency = "USD instead of EUR"});
        ASSERT_TRUE(processEventsUntil([&] { return sheet() != nullptr; }));
        const QPointer<QDialog> problems = sheet();
        ASSERT_TRUE(QTest::qWaitForWindowActive(problems));
        QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
        processEvents();
        EXPECT_TRUE(problems.isNull() || !problems->isVisible());
        EXPECT_FALSE(mainView().sourcePane()->projectLoadingProblemState()->isSome());
        EXPECT_FALSE(window().isVisible());
    }
}

// While content comes and goes the window keeps the size it has, and the panes' header bands
// their height: at 150 % the window fills most of a small screen, and a growing window would
// run off it.
TEST_F(SmallScreenMainWindowTest, ContentThatAppearsChangesNoSize) {
    processEvents();
    const QRect frame = window().geometry();
    const auto headerHeights = [&] {
        std::vector<int> heights;
        for (const char* button : {"sourcesClearButton", "combineButton"}) {
            heights.push_back(mainView().findChild<QWidget*>(button)->parentWidget()->height());
        }
        return heights;
    };
    const std::vector<int> before = headerHeights();
    combinetest::SourceSettings settings;
    settings.team = {{"Maximilian Alexander von Hohenzollern-Sigmaringen"}, {"Anna"}};
    accept("a", settings);
    accept("b", settings);
    processEvents();
    EXPECT_EQ(window().geometry(), frame);
    EXPECT_EQ(headerHeights(), before);
    EXPECT_TRUE(window().screen()->availableGeometry().contains(window().geometry()));
}

// 150 % set as the fonts' resolution (144 dpi) rather than as a scale: the window's texts are
// half as large again in its pixels.
class LargeDpiMainWindowTest : public SmallScreenMainWindowTest {
protected:
    std::string screenSize() const override { return R"("width": 1280, "height": 800, "dpr": 1)"; }
    int logicalDpi() const override { return 144; }
};

TEST_F(LargeDpiMainWindowTest, ContentThatAppearsChangesNoSize) {
    processEvents();
    const QRect frame = window().geometry();
    accept("a", {.team = {{"Anna"}}});
    processEvents();
    EXPECT_EQ(window().geometry(), frame);
    EXPECT_TRUE(window().screen()->availableGeometry().contains(window().geometry()))
        << window().geometry().x() << "," << window().geometry().y() << " "
        << window().geometry().width() << "x" << window().geometry().height() << " min "
        << window().minimumSizeHint().width() << "x" << window().minimumSizeHint().height();
}

// A desktop set to a larger font: 14 points.
class LargeFontMainWindowTest : public MainWindowTest {
protected:
    void beforeLaunch() override {
        QFont font = QApplication::font();
        font.setPointSizeF(14);
        QApplication::setFont(font);
    }

    void TearDown() override {
        MainWindowTest::TearDown();
        QApplication::setFont(original_);
    }

    const QFont original_ = QApplication::font();
};

// At its smallest the window still shows every text whole: no pane is narrower than what it
// holds needs, so nothing runs under the scroll bar or past a pane's edge.
TEST_F(LargeFontMainWindowTest, NothingIsClippedAtTheSmallestWindow) {
    combinetest::SourceSettings settings;
    settings.team = {{"Anna"}, {"Bert"}};
    accept("Roll-out", settings);
    window().resize(window().minimumSizeHint());
    processEvents();
    ASSERT_EQ(window().size(), window().minimumSizeHint());

    const auto* content = mainView().findChild<QScrollArea*>("profileContent");
    ASSERT_NE(content, nullptr);
    const QWidget* viewport = content->viewport();
    const QRect shown = viewport->rect();
    int checked = 0;
    for (const QWidget* widget : content->widget()->findChildren<QWidget*>()) {
        const bool text = qobject_cast<const QLabel*>(widget) != nullptr ||
                          qobject_cast<const QAbstractButton*>(widget) != nullptr ||
                          qobject_cast<const QLineEdit*>(widget) != nullptr;
        if (!text || !widget->isVisible()) {
            continue;
        }
        ++checked;
        const QRect box(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
        SCOPED_TRACE(widget->objectName().toStdString() + " " + widget->metaObject()->className());
        EXPECT_GE(box.left(), shown.left());
        EXPECT_LE(box.right(), shown.right()) << "runs past the visible area";
        EXPECT_GE(widget->width(), widget->minimumSizeHint().width()) << "squeezed";
    }
    EXPECT_GT(checked, 10);
    EXPECT_LE(content->widget()->minimumSizeHint().width(), viewport->width());
    keepPicture(picture(), "main-window-14pt");
}

// "Open in Orbin" fails while the result sheet is up: the error lies over that sheet, where it
// can be read and closed, by its button, Escape or Return, leaving the sheet as it was.
TEST_F(MainWindowTest, AnErrorRaisedUnderASheetShowsOverThatSheet) {
    accept("a");
    engine_->projectValidatingFailedEvent()->send(
        CombineSource::ValidationResult{.currency = "USD instead of EUR"});
    ASSERT_TRUE(processEventsUntil([&] { return sheet() != nullptr; }));
    QDialog* const problems = sheet();

    const auto shownMessage = [&]() -> QLabel* {
        for (QLabel* label : problems->findChildren<QLabel*>("errorMessage")) {
            if (label->isVisible()) {
                return label;
            }
        }
        return nullptr;
    };
    const auto closeWith = [&](const std::function<void(QDialog&)>& close) {
        events_.failurePresentRequest()->sendOnMain(
            "Please install Orbin to open the project file");
        ASSERT_TRUE(processEventsUntil([&] { return shownMessage() != nullptr; }));
        EXPECT_FALSE(mainView().dialogHost()->isPresented()) << "not under the sheet";
        EXPECT_EQ(shownMessage()->text(), "Please install Orbin to open the project file");
        EXPECT_TRUE(problems->findChildren<QDialog*>().isEmpty())
            << "the card of the window, not a window of its own";
        ASSERT_EQ(descendants<LxDialogHost>(*problems).size(), 1u);
        EXPECT_TRUE(descendants<LxDialogHost>(*problems).front()->isPresented());
        keepPicture(picture(), "main-window-error-over-sheet");

        close(*problems);
        ASSERT_TRUE(processEventsUntil([&] { return shownMessage() == nullptr; }));
        EXPECT_FALSE(mainView().errorMessage()->isSome());
        EXPECT_EQ(sheet(), problems);
        EXPECT_TRUE(problems->isVisible());
    };
    closeWith([](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QWidget*>("errorCloseButton"), Qt::LeftButton);
    });
    closeWith([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    closeWith([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
}

TEST_F(MainWindowTest, TheErrorDialogInTheWindowClosesOnEscapeAndReturn) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        SCOPED_TRACE(key);
        events_.failurePresentRequest()->sendOnMain("A");
        ASSERT_TRUE(processEventsUntil([&] { return shownError() == "A"; }));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(&window(), key);
        ASSERT_TRUE(processEventsUntil([&] { return !mainView().dialogHost()->isPresented(); }));
        EXPECT_FALSE(mainView().errorMessage()->isSome());
    }
}

TEST_F(MainWindowTest, TheFrameIsRememberedWhenTheWindowCloses) {
    const QRect frame(130, 90, 1000, 620);
    window().setGeometry(frame);
    window().close();

    delegate_->setupMainWindow();
    EXPECT_EQ(window().geometry(), frame);
}

// The frame is written in the background once moves and resizes have paused; a window set up
// afterwards reads it back.
TEST_F(MainWindowTest, TheFrameIsRememberedOnceMovesPause) {
    const QRect frame(140, 100, 1010, 630);
    window().setGeometry(frame);
    const QByteArray moved = window().saveGeometry();
    ASSERT_TRUE(processEventsUntil([&] {
        return QSettings("Orbin Combine", "Orbin Combine")
                   .value("WindowFrames/Orbin Combine")
                   .toByteArray() == moved;
    }));

    delegate_->setupMainWindow();
    EXPECT_EQ(window().geometry(), frame);
}

TEST_F(MainWindowTest, TheErrorDialogShowsTheLastTextUntilClosed) {
    events_.failurePresentRequest()->sendOnMain("A");
    events_.failurePresentRequest()->sendOnMain("B");
    EXPECT_FALSE(mainView().dialogHost()->isPresented()) << "shown in a later main-queue turn";
    ASSERT_TRUE(processEventsUntil([&] { return shownError() == "B"; }));
    EXPECT_FALSE(mainView().sourcePane()->isEnabled());
    keepPicture(picture(), "main-window-error");

    QTest::mouseClick(mainView().dialogHost()->findChild<QWidget*>("errorCloseButton"),
                      Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([&] { return !mainView().dialogHost()->isPresented(); }));
    EXPECT_TRUE(mainView().sourcePane()->isEnabled());
    EXPECT_TRUE(mainView().outputPane()->isEnabled());
    EXPECT_EQ(mainView().errorMessage()->value(), "B");

    events_.failurePresentRequest()->sendOnMain("C");
    ASSERT_TRUE(processEventsUntil([&] { return shownError() == "C"; }));
}

// Packages made in the test are dropped on the window, renamed, combined and saved; the saved
// package is what the combine made of both.
TEST_F(MainWindowTest, FromTheDropToTheSavedPackage) {
    const combinetest::SourceSettings settings{.team = {{"Anna"}}, .depth = 2};
    for (const char* name : {"a.orb", "b.ORBX"}) {
        const fs::path package = test_files::put(sandbox() / name);
        documents_->add(package, [settings] { return combinetest::makeProject(settings); });
    }
    keepPicture(picture(), "main-window-empty");

    for (const char* name : {"a.orb", "b.ORBX"}) {
        SCOPED_TRACE(name);
        const std::size_t listed = engine_->source()->projects().size();
        waitUntilNoOverlay();
        EXPECT_TRUE(
            dropFiles(*mainView().sourcePane(),
                      {QUrl::fromLocalFile(QString::fromStdString((sandbox() / name).string()))})
                .first);
        ASSERT_TRUE(processEventsUntil([&] {
            return mainView().findChildren<QWidget*>("sourceProjectRow").size() ==
                   static_cast<qsizetype>(listed + 1);
        }));
    }
    waitUntilNoOverlay();
    keepPicture(picture(), "main-window-sources");

    auto* nameEdit = mainView().findChild<QLineEdit*>("projectNameEdit");
    ASSERT_NE(nameEdit, nullptr);
    nameEdit->setFocus();
    nameEdit->selectAll();
    QTest::keyClicks(nameEdit, "Merged");
    EXPECT_EQ(engine_->output()->projectName(), "Merged");

    QTest::mouseClick(mainView().findChild<QPushButton*>("combineButton"), Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([&] { return savePanel_.requests.size() == 1; }));
    EXPECT_EQ(savePanel_.requests.front().window, &window());
    EXPECT_EQ(savePanel_.requests.front().options,
              (platform::qt::SavePanelOptions{{"orb"}, false, "Merged"}));
    const fs::path destination = sandbox() / "out" / "result.orb";
    fs::create_directories(destination.parent_path());
    savePanel_.requests.front().completion(destination);

    ASSERT_TRUE(processEventsUntil([&] { return sheet() != nullptr; }));
    ASSERT_EQ(descendants<OutputView>(*sheet()).size(), 1u);
    EXPECT_EQ(descendants<OutputView>(*sheet()).front()->urlString(), destination.string());
    EXPECT_EQ(FakeDocuments::packagedName(destination), "Merged");
    ASSERT_EQ(documents_->saved().size(), 1u);
    const auto& combined = *documents_->saved().front();
    EXPECT_EQ(combined.name(), "Merged");
    // Per source its group task and its two tasks.
    EXPECT_EQ(combined.taskCount(), 2 * 3);
    waitUntilNoOverlay();
    keepPicture(picture(), "main-window-result");

    workspace_->installed = {kMainEditionAppId};
    QTest::mouseClick(sheet()->findChild<QPushButton*>("openInOrbinButton"), Qt::LeftButton);
    EXPECT_EQ(workspace_->lookups, std::vector<std::string>{kMainEditionAppId});
    ASSERT_EQ(workspace_->openings.size(), 1u);
    EXPECT_EQ(workspace_->openings.front().urls,
              std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(destination.string()))});
    QTest::mouseClick(sheet()->findChild<QPushButton*>("resultCloseButton"), Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([&] { return sheet() == nullptr; }));
    EXPECT_FALSE(overlayShown());
    EXPECT_FALSE(mainView().dialogHost()->isPresented());
}

TEST_F(MainWindowTest, TheProblemsSheetRendersOverTheWindow) {
    accept("a");
    engine_->projectValidatingFailedEvent()->send(CombineSource::ValidationResult{
        .currency = "USD instead of EUR",
        .resources = std::vector<std::string>{"Anna: 80.0 / 95.0"}});
    ASSERT_TRUE(processEventsUntil([&] { return sheet() != nullptr; }));
    const QImage image = picture();
    EXPECT_EQ(image.size(), window().size());
    keepPicture(image, "main-window-problems");
}

}  // namespace
