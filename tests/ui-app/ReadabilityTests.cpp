#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>

#include "support/DrawnContrast.h"
#include "ui-app/LineLimitedLabel.h"
#include "ui-app/MainWindowTest.h"
#include "ui-app/OutputProfileView.h"
#include "ui-app/ViewTestSupport.h"

namespace {

// The window as a desktop of a light and of a dark theme shows it; every text in it is
// checked from the pixels drawn.
class ReadableWindowTest : public MainWindowTest, public testing::WithParamInterface<Appearance> {
protected:
    void beforeLaunch() override { palette_.emplace(GetParam().palette()); }

    void TearDown() override {
        MainWindowTest::TearDown();
        palette_.reset();
    }

    std::string named(const std::string& view) const { return view + "-" + GetParam().name; }

    // Every text of `view`, drawn in `picture`, reads; there is at least one.
    static void expectReadable(const QWidget& view, const QImage& picture) {
        std::vector<const QWidget*> custom;
        for (const LineLimitedLabel* label : descendants<LineLimitedLabel>(view)) {
            custom.push_back(label);
        }
        EXPECT_GT(expectReadableText(view, picture, custom), 0);
    }

    // A source whose profile fills every section, the team with more members than fit.
    void acceptRichSource() {
        combinetest::SourceSettings settings;
        for (const char* name : {"Anna", "Bert", "Carla", "Dirk", "Eva", "Frank", "Greta", "Hans",
                                 "Ines", "Jonas", "Karin", "Lars"}) {
            settings.team.push_back({name});
        }
        accept("Roll-out", settings);
        processEvents();
    }

    // The pixels that change when `widget` takes the focus, compared with the background around
    // them: some change, and what they show stands out at 3:1, as any part of a control must.
    static void expectFocusShows(QWidget& widget, QWidget& view) {
        SCOPED_TRACE(widget.objectName().toStdString());
        if (QWidget* focused = QApplication::focusWidget()) {
            focused->clearFocus();
        }
        processEvents();
        const QImage unfocused = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        widget.setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(processEventsUntil([&] { return widget.hasFocus(); }));
        const QImage focused = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        int changed = 0;
        double strongest = 1;
        for (int y = 0; y < focused.height(); ++y) {
            for (int x = 0; x < focused.width(); ++x) {
                if (focused.pixel(x, y) != unfocused.pixel(x, y)) {
                    ++changed;
                    strongest = std::max(strongest, wcagContrast(QColor(focused.pixel(x, y)),
                                                                 QColor(unfocused.pixel(x, y))));
                }
            }
        }
        EXPECT_GT(changed, 20) << "no focus indicator";
        EXPECT_GE(strongest, 3.0);
    }

    std::optional<ScopedApplicationPalette> palette_;
};

TEST_P(ReadableWindowTest, EveryTextOfTheWindowReadsEmptyAndWithASource) {
    processEvents();
    expectReadable(mainView(), mainView().grab().toImage());
    keepPicture(picture(), named("main-window-empty"));

    acceptRichSource();
    expectReadable(mainView(), mainView().grab().toImage());
    keepPicture(picture(), named("main-window"));
}

TEST_P(ReadableWindowTest, EveryTextOfTheProblemsSheetReads) {
    accept("a");
    engine_->projectValidatingFailedEvent()->send(CombineSource::ValidationResult{
        .currency = "USD instead of EUR",
        .dialyWorkingHours = "7.5 instead of 8.0",
        .resources = std::vector<std::string>{"Anna: 80.0 / 95.0", "Bert: 10.0 / 12.0"},
        .calendars = std::vector<std::string>{"2024-05-08 is a working day",
                                              "2024-05-09 is not a working day",
                                              "2024-05-10 is not a working day"},
        .datePolicy = "Tasks on all days",
        .linkType = "Simple list"});
    ASSERT_TRUE(processEventsUntil([&] { return sheet() != nullptr; }));
    processEvents();
    expectReadable(*sheet(), sheet()->grab().toImage());
    keepPicture(picture(), named("problems-sheet"));
}

TEST_P(ReadableWindowTest, EveryTextOfTheResultSheetReads) {
    accept("a");
    mainView().outputPane()->savedOrbFile()->change(
        std::string("/home/anna/Plans/Combined Project.orb"));
    ASSERT_TRUE(processEventsUntil([&] { return sheet() != nullptr; }));
    processEvents();
    expectReadable(*sheet(), sheet()->grab().toImage());
    keepPicture(picture(), named("result-sheet"));
}

// The veil darkens what lies under the card, whatever the palette's brightness.
TEST_P(ReadableWindowTest, TheErrorDialogReadsOverAWindowItDims) {
    processEvents();
    const QImage before = mainView().grab().toImage();
    events_.failurePresentRequest()->sendOnMain("Please install Orbin to open the project file");
    const auto message = [&] { return mainView().findChild<QLabel*>("errorMessage"); };
    // The live card shows once it has sprung in, the veil long before.
    ASSERT_TRUE(processEventsUntil([&] { return message() != nullptr && message()->isVisible(); }));
    const QImage after = mainView().grab().toImage();

    QWidget* card = message()->parentWidget();
    const QRect cardArea(card->mapTo(&mainView(), QPoint(0, 0)), card->size());
    expectReadable(*card, after.copy(cardArea));

    const QPoint outside(cardArea.left() / 2, cardArea.top() / 2);
    EXPECT_LT(qGray(after.pixel(outside)), qGray(before.pixel(outside)) - 10)
        << "dimmed, not lightened";
    keepPicture(picture(), named("error-dialog"));
}

TEST_P(ReadableWindowTest, EveryTabStopShowsItsFocus) {
    acceptRichSource();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    for (const char* name : {"sourceProjectList", "profileContent"}) {
        auto* widget = mainView().findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name;
        expectFocusShows(*widget, mainView());
    }
    keepPicture(picture(), named("main-window-focus"));
}

TEST_P(ReadableWindowTest, TheErrorDialogsButtonShowsItsFocus) {
    events_.failurePresentRequest()->sendOnMain("Failed to save!");
    const auto close = [&] { return mainView().findChild<QWidget*>("errorCloseButton"); };
    ASSERT_TRUE(processEventsUntil([&] { return close() != nullptr && close()->isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QWidget* card = close()->parentWidget()->parentWidget();
    expectFocusShows(*close(), *card);
}

INSTANTIATE_TEST_SUITE_P(Palettes, ReadableWindowTest, testing::ValuesIn(kAppearances),
                         [](const testing::TestParamInfo<Appearance>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
