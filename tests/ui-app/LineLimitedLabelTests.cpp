#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "support/QtApplicationTest.h"
#include "ui-app/LineLimitedLabel.h"

namespace {

using LineLimitedLabelTest = QtApplicationTest;

TEST_F(LineLimitedLabelTest, TextWrapsToTheWidthOnAtMostTheLinesAllowed) {
    const QString longText =
        QString("The calendar of this project marks a different day ").repeated(8);
    struct Case {
        const char* name;
        QString text;
        int expectedLines;
        bool elided;
    };
    for (const Case& row :
         {Case{"short", "Currency differs", 1, false}, Case{"long", longText, 2, true},
          Case{"line break", "first\nsecond", 2, false}, Case{"empty", "", 1, false}}) {
        SCOPED_TRACE(row.name);
        LineLimitedLabel label(row.text, 2, Qt::ElideRight);
        const QStringList lines = label.shownLines(300);
        ASSERT_EQ(lines.size(), row.expectedLines);
        EXPECT_EQ(lines.back().endsWith(QChar(0x2026)), row.elided);
        EXPECT_EQ(label.heightForWidth(300),
                  row.expectedLines * QFontMetrics(label.font()).lineSpacing());
        for (const QString& line : lines) {
            EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(line), 300);
        }
    }
}

TEST_F(LineLimitedLabelTest, ALongPathOnOneLineKeepsBothEnds) {
    const QString path = "/home/anna/" + QString("projects/").repeated(20) + "Roll-out 2025.orb";
    ASSERT_GE(path.size(), 190);
    LineLimitedLabel label(path, 1, Qt::ElideMiddle);
    const QStringList lines = label.shownLines(340 - 12);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.front().contains(QChar(0x2026)));
    EXPECT_TRUE(lines.front().startsWith("/home"));
    EXPECT_TRUE(lines.front().endsWith("Roll-out 2025.orb"));
}

}  // namespace
