#include <string>
#include <vector>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/manager/CombineSource.h"
#include "support/QtApplicationTest.h"
#include "ui-app/LineLimitedLabel.h"
#include "ui-app/SourceProjectProblemsView.h"
#include "ui-app/ViewTestSupport.h"

namespace {

using Result = CombineSource::ValidationResult;
using Sections = std::vector<ProblemSection>;
using SourceProjectProblemsViewTest = QtApplicationTest;

Result everyProblem() {
    return Result{.currency = "USD instead of EUR",
                  .dialyWorkingHours = "7.5 instead of 8.0",
                  .resources = std::vector<std::string>{"Anna: cost rate 2.0 instead of 1.0"},
                  .calendars = std::vector<std::string>{"2024-05-08 is a working day",
                                                        "2024-05-09 is not a working day"},
                  .datePolicy = "Tasks on all days",
                  .linkType = "Simple list"};
}

TEST(ProblemSectionsTest, APresentFieldMakesASectionInTheFixedOrder) {
    struct Case {
        const char* name;
        Result result;
        Sections expected;
    };
    const std::vector<Case> cases = {
        {"nothing present", Result{}, {}},
        {"calendars only",
         Result{.calendars = std::vector<std::string>{"a", "b", "c"}},
         {{"CALENDAR (working and non-working days)", {"a", "b", "c"}}}},
        {"everything",
         everyProblem(),
         {{"CURRENCY", {"USD instead of EUR"}},
          {"DAILY WORKING HOURs", {"7.5 instead of 8.0"}},
          {"PROJECT TEAM (resource)", {"Anna: cost rate 2.0 instead of 1.0"}},
          {"CALENDAR (working and non-working days)",
           {"2024-05-08 is a working day", "2024-05-09 is not a working day"}},
          {"DATE POLICY", {"Tasks on all days"}},
          {"LINK TYPE", {"Simple list"}}}},
        {"present but empty text", Result{.linkType = ""}, {{"LINK TYPE", {""}}}},
        {"present but empty list",
         Result{.resources = std::vector<std::string>{}},
         {{"PROJECT TEAM (resource)", {}}}},
        {"the same text twice",
         Result{.resources = std::vector<std::string>{"Anna", "Anna"}},
         {{"PROJECT TEAM (resource)", {"Anna", "Anna"}}}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(problemSections(row.result), row.expected);
    }
}

TEST_F(SourceProjectProblemsViewTest, TheSheetShowsEveryProblemVerbatimAndCloseOnlyDismisses) {
    Result result = everyProblem();
    result.currency = "<b>USD</b>";
    int dismissals = 0;
    SourceProjectProblemsView view(result, [&] { ++dismissals; });
    view.show();

    EXPECT_EQ(view.size(), QSize(420, 300));
    QStringList texts;
    for (const QLabel* label : view.findChildren<QLabel*>()) {
        texts << label->text();
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
    EXPECT_TRUE(texts.contains("Some issues found:"));
    EXPECT_TRUE(texts.contains("DAILY WORKING HOURs"));
    EXPECT_EQ(texts.count(QString::fromUtf8("・")), 7);
    QStringList problems;
    for (const LineLimitedLabel* label : descendants<LineLimitedLabel>(view)) {
        problems << label->text();
    }
    EXPECT_EQ(problems.first(), "<b>USD</b>");
    EXPECT_EQ(problems.size(), 7);
    renderAndKeep(view, "problems-sheet");

    auto* close = view.findChild<QPushButton*>("problemsCloseButton");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "Close");
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(dismissals, 1);
}

// Titles, bullets and texts keep off the sheet's edges, as far in as "Some issues found:".
TEST_F(SourceProjectProblemsViewTest, ProblemsKeepAMarginFromTheSheetsEdges) {
    SourceProjectProblemsView view(everyProblem(), [] {});
    view.show();
    processEvents();
    const int margin = view.findChild<QLabel*>()->contentsMargins().left();
    ASSERT_GT(margin, 0);
    const std::vector<QWidget*> shown = [&] {
        std::vector<QWidget*> widgets;
        for (auto* section : descendants<SourceProjectProblemsSectionView>(view)) {
            widgets.push_back(section->findChild<QLabel*>());
        }
        for (auto* row : descendants<SourceProjectProblemsRowView>(view)) {
            widgets.push_back(row->findChild<QLabel*>());
            widgets.push_back(descendants<LineLimitedLabel>(*row).front());
        }
        return widgets;
    }();
    ASSERT_EQ(shown.size(), 6u + 7u * 2u);
    for (const QWidget* widget : shown) {
        const QRect box(widget->mapTo(&view, QPoint(0, 0)), widget->size());
        EXPECT_GE(box.left(), margin) << widget->metaObject()->className();
        EXPECT_LE(box.right(), view.width() - 1 - margin) << widget->metaObject()->className();
    }
    renderAndKeep(view, "problems-sheet");
}

}  // namespace
