#include <memory>

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include "support/QtApplicationTest.h"
#include "ui-kit/LxLazyView.h"

namespace {

class LxLazyViewTest : public QtApplicationTest {};

TEST_F(LxLazyViewTest, ContentIsBuiltOnEveryShowingWithTheValueOfThatMoment) {
    int builds = 0;
    QString current = "first";
    QWidget window;
    auto* lazy = new LxLazyView([&] {
        ++builds;
        return new QLabel(current);
    });
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(lazy);
    EXPECT_EQ(builds, 0);
    EXPECT_EQ(lazy->content(), nullptr);

    window.show();
    EXPECT_EQ(builds, 1);
    const QPointer<QWidget> firstContent = lazy->content();
    ASSERT_NE(firstContent, nullptr);
    EXPECT_TRUE(firstContent->isVisible());

    lazy->hide();
    processEvents();
    EXPECT_EQ(lazy->content(), nullptr);
    EXPECT_TRUE(firstContent.isNull());

    current = "second";
    lazy->show();
    EXPECT_EQ(builds, 2);
    ASSERT_NE(lazy->content(), nullptr);
    EXPECT_EQ(static_cast<QLabel*>(lazy->content())->text(), "second");
}

}  // namespace
