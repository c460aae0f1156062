#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>
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

// A sheet is a dialog with a title and a close button, never one a window manager would
// minimise or maximise.
TEST_F(SheetTest, TheSheetOffersNoMinimiseOrMaximise) {
    state_->change("a problem");
    ASSERT_NE(sheet(), nullptr);
    const Qt::WindowFlags flags = sheet()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::Dialog));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << "the window manager is told";
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

// Clicking the window under a sheet makes the window manager activate it; the sheet takes the
// keyboard back, so that Escape still closes it.
TEST_F(SheetTest, TheSheetKeepsTheKeyboardWhenTheWindowIsActivated) {
    state_->change("a problem");
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet()));
    window_->activateWindow();
    // The activation arrives as a window-system event, in a later turn.
    processEvents();
    processEvents();
    ASSERT_TRUE(processEventsUntil([&] { return QApplication::activeWindow() == sheet(); },
                                   std::chrono::seconds(1)));
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_Escape);
    processEvents();
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_FALSE(state_->isSome());
}

// The window's shortcut closes the sheet first, then does its own work, as in the window.
TEST_F(SheetTest, TheWindowsShortcutsWorkInTheSheetAndCloseItFirst) {
    std::vector<std::string> happened;
    auto* closeWindow = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), window_.get());
    QObject::connect(closeWindow, &QShortcut::activated, window_.get(), [&] {
        happened.push_back(state_->isSome() ? "window closed under the sheet" : "window closed");
        window_->close();
    });
    state_->change("a problem");
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet()));
    QTest::keyClick(sheet(), Qt::Key_W, Qt::ControlModifier);
    processEvents();
    EXPECT_EQ(happened, std::vector<std::string>{"window closed"});
    EXPECT_FALSE(state_->isSome());
    EXPECT_FALSE(window_->isVisible());
}

// Return and Enter press the focused button of a sheet, or its default one.
TEST_F(SheetTest, ReturnAndEnterPressTheFocusedOrTheDefaultButton) {
    auto choices = LxRxToogleState<std::string>::create();
    std::vector<std::string> pressed;
    platform::qt::sheet(window_.get(), platform::qt::isSomeBinding(choices),
                        [&pressed](const platform::qt::Dismiss&) {
                            auto* content = new QWidget;
                            auto* layout = new QVBoxLayout(content);
                            layout->addWidget(new QLineEdit);
                            for (const char* name : {"Keep", "Replace"}) {
                                auto* button = new QPushButton(name);
                                button->setObjectName(name);
                                button->setDefault(std::string(name) == "Replace");
                                QObject::connect(button, &QPushButton::clicked, button,
                                                 [&pressed, name] { pressed.push_back(name); });
                                layout->addWidget(button);
                            }
                            return content;
                        });
    choices->change("x");
    QDialog* shown = nullptr;
    for (QDialog* dialog : window_->findChildren<QDialog*>()) {
        shown = dialog->isVisible() ? dialog : shown;
    }
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        pressed.clear();
        shown->findChild<QLineEdit*>()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        shown->findChild<QPushButton*>("Keep")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(pressed, (std::vector<std::string>{"Replace", "Keep"}));
    }
}

}  // namespace
