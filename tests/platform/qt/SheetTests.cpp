#include <memory>
#include <string>

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/qt/Binding.h"
#include "platform/qt/Sheet.h"
#include "reactive/LxRxToogleState.h"
#include "support/QtApplicationTest.h"

namespace {

// A window with a sheet that shows the state's text, counting how often it is built.
class SheetTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        window_ = std::make_unique<QWidget>();
        window_->resize(400, 300);
        window_->show();
        platform::qt::sheet(window_.get(), platform::qt::isSomeBinding(state_),
                            [this](const platform::qt::Dismiss& dismiss) {
                                ++builds_;
                                dismiss_ = dismiss;
                                return new QLabel(QString::fromStdString(*state_->value()));
                            });
    }

    void TearDown() override {
        window_.reset();
        processEvents();
        QtApplicationTest::TearDown();
    }

    QDialog* sheet() const { return window_->findChild<QDialog*>(); }
    QString shownText() const {
        const QLabel* label = sheet() != nullptr ? sheet()->findChild<QLabel*>() : nullptr;
        return label != nullptr ? label->text() : QString();
    }

    const std::shared_ptr<LxRxToogleState<std::string>> state_ =
        LxRxToogleState<std::string>::create();
    std::unique_ptr<QWidget> window_;
    int builds_ = 0;
    platform::qt::Dismiss dismiss_;
};

TEST_F(SheetTest, TheSheetIsBuiltWhenShownWithTheValueOfThatMoment) {
    EXPECT_EQ(builds_, 0);
    EXPECT_EQ(sheet(), nullptr);

    state_->change("three problems");
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(sheet()->isVisible());
    EXPECT_EQ(sheet()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(shownText(), "three problems");

    // True again while up: the same sheet stays, built once.
    state_->change("four problems");
    EXPECT_EQ(builds_, 1);
    EXPECT_EQ(shownText(), "three problems");

    dismiss_();
    processEvents();
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_FALSE(state_->isSome());
    EXPECT_EQ(state_->value(), "four problems");

    state_->change("five problems");
    EXPECT_EQ(builds_, 2);
    EXPECT_EQ(shownText(), "five problems");
}

TEST_F(SheetTest, ClosingTheSheetAnyWayWritesFalseAndFalseClosesIt) {
    state_->change("a problem");
    ASSERT_NE(sheet(), nullptr);
    QTest::keyClick(sheet(), Qt::Key_Escape);
    processEvents();
    EXPECT_FALSE(state_->isSome());
    EXPECT_EQ(sheet(), nullptr);

    state_->change("another problem");
    ASSERT_NE(sheet(), nullptr);
    state_->setIsSome(false);
    processEvents();
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_EQ(builds_, 2);

    // A dismiss kept from a sheet that is gone does nothing.
    state_->change("again");
    const platform::qt::Dismiss stale = dismiss_;
    state_->setIsSome(false);
    state_->setIsSome(true);
    processEvents();
    stale();
    processEvents();
    EXPECT_TRUE(state_->isSome());
    EXPECT_NE(sheet(), nullptr);
}

TEST_F(SheetTest, AHostThatGoesClosesItsSheet) {
    auto* host = new QWidget(window_.get());
    platform::qt::sheet(host, platform::qt::isSomeBinding(state_),
                        [](const platform::qt::Dismiss&) { return new QLabel("host's"); });
    state_->change("shown");
    QPointer<QDialog> hostSheet;
    for (QDialog* dialog : window_->findChildren<QDialog*>()) {
        if (dialog->findChild<QLabel*>()->text() == "host's") {
            hostSheet = dialog;
        }
    }
    ASSERT_FALSE(hostSheet.isNull());

    delete host;
    processEvents();
    EXPECT_TRUE(hostSheet.isNull());
}

}  // namespace
