#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/qt/Binding.h"
#include "reactive/LxRxToogleState.h"
#include "support/QtApplicationTest.h"
#include "ui-kit/LxAnimation.h"
#include "ui-kit/LxColor.h"
#include "ui-kit/LxDialog.h"
#include "ui-kit/LxDialogActionButton.h"

namespace {

TEST(LxDialogActionButtonTest, ModifiersChangeOneFieldOfACopy) {
    int runs = 0;
    const LxDialogActionButton plain("Keep", [&] { ++runs; });
    EXPECT_EQ(plain.title(), "Keep");
    EXPECT_EQ(plain.style(), LxDialogActionButtonStyle::normal());
    EXPECT_TRUE(plain.enabled());

    const LxDialogActionButton done = plain.styled(LxDialogActionButtonStyle::done());
    EXPECT_EQ(done.title(), "Keep");
    EXPECT_TRUE(done.enabled());
    EXPECT_EQ(done.style(), LxDialogActionButtonStyle::done());
    EXPECT_EQ(plain.style(), LxDialogActionButtonStyle::normal());
    done.action()();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(plain.enabled(false).enabled());

    EXPECT_EQ(LxDialogActionButton::done([] {}).title(), "Done");
    EXPECT_EQ(LxDialogActionButton::done("Close", [] {}).title(), "Close");
    EXPECT_EQ(LxDialogActionButton::done("Close", [] {}).style(),
              LxDialogActionButtonStyle::done());
}

class LxDialogTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        LxAnimation::setEnabled(false);
        window_ = std::make_unique<QWidget>();
        window_->setLayout(new QVBoxLayout);
        window_->layout()->setContentsMargins(0, 0, 0, 0);
        window_->resize(400, 300);
    }

    void TearDown() override {
        window_.reset();
        processEvents();
        LxAnimation::setEnabled(true);
        QtApplicationTest::TearDown();
    }

    // A host over content that is black on the left half and white on the right, with a dialog
    // card of the state's message and the given buttons (a "Close" button when none).
    void makeHost(std::function<std::vector<LxDialogActionButton>(const platform::qt::Dismiss&)>
                      makeButtons = {}) {
        host_ = lxDialog(new HalfBlack, platform::qt::isSomeBinding(state_),
                         [this, makeButtons](const platform::qt::Dismiss& dismiss) {
                             ++builds_;
                             auto* message = new QLabel(QString::fromStdString(*state_->value()));
                             message_ = message;
                             std::vector<QWidget*> actions;
                             for (const auto& button :
                                  makeButtons
                                      ? makeButtons(dismiss)
                                      : std::vector{LxDialogActionButton::done("Close", dismiss)}) {
                                 actions.push_back(button.makeWidget());
                             }
                             card_ = LxDialog::create(message, actions);
                             return card_.data();
                         });
        window_->layout()->addWidget(host_);
        window_->show();
        processEvents();
    }

    QColor pixel(int x, int y) const { return host_->grab().toImage().pixelColor(x, y); }

    std::vector<QAbstractButton*> buttons() const {
        if (!card_) {
            return {};
        }
        const QList<QAbstractButton*> found = card_->findChildren<QAbstractButton*>();
        return {found.begin(), found.end()};
    }

    QRect inHost(const QWidget* widget) const {
        return {widget->mapTo(host_, QPoint(0, 0)), widget->size()};
    }

    class HalfBlack final : public QWidget {
    protected:
        void paintEvent(QPaintEvent*) override {
            QPainter painter(this);
            painter.fillRect(rect(), Qt::white);
            painter.fillRect(QRect(0, 0, width() / 2, height()), Qt::black);
        }
    };

    const std::shared_ptr<LxRxToogleState<std::string>> state_ =
        LxRxToogleState<std::string>::create();
    std::unique_ptr<QWidget> window_;
    LxDialogHost* host_ = nullptr;
    QPointer<QWidget> card_;
    QPointer<QLabel> message_;
    int builds_ = 0;
};

TEST_F(LxDialogTest, WhilePresentedTheContentIsBlurredDisabledAndVeiledUnderACentredCard) {
    makeHost();
    // Away from the card in the middle and from the content's outer edges.
    const QPoint blackEdge(host_->width() / 2 - 2, 40);
    const QPoint black(40, host_->height() - 40);
    const QPoint white(host_->width() - 40, 40);
    const auto pixelAt = [this](QPoint point) { return pixel(point.x(), point.y()); };
    EXPECT_EQ(pixelAt(blackEdge), QColor(Qt::black));
    EXPECT_EQ(pixelAt(white), QColor(Qt::white));
    EXPECT_EQ(builds_, 0);

    state_->change("Loading project failed");
    ASSERT_TRUE(card_);
    EXPECT_TRUE(host_->isPresented());
    EXPECT_FALSE(host_->content()->isEnabled());
    EXPECT_GT(pixelAt(blackEdge).red(), 0) << "the black edge is not blurred";
    EXPECT_EQ(pixelAt(black), QColor(Qt::black));
    EXPECT_NEAR(pixelAt(white).red(), 128, 2) << "not veiled at half opacity";
    EXPECT_EQ(inHost(card_).center(), host_->rect().center());

    QTest::mouseClick(buttons().at(0), Qt::LeftButton);
    processEvents();
    EXPECT_FALSE(state_->isSome());
    EXPECT_EQ(state_->value(), "Loading project failed");
    EXPECT_FALSE(host_->isPresented());
    EXPECT_TRUE(card_.isNull());
    EXPECT_TRUE(host_->content()->isEnabled());
    EXPECT_EQ(pixelAt(blackEdge), QColor(Qt::black));
    EXPECT_EQ(pixelAt(white), QColor(Qt::white));
}

TEST_F(LxDialogTest, ANewMessageWhileShownRebuildsTheOneCard) {
    makeHost();
    state_->change("first failure");
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->text(), "first failure");

    state_->change("second failure");
    processEvents();
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->text(), "second failure");
    EXPECT_EQ(builds_, 2);
    EXPECT_EQ(host_->findChildren<QLabel*>().size(), 1) << "cards are stacked";
    EXPECT_EQ(inHost(card_).center(), host_->rect().center());
}

TEST_F(LxDialogTest, ActionsShareTheRowEquallyOnePointApartBelowTheContent) {
    std::vector<std::string> ran;
    makeHost([&](const platform::qt::Dismiss& dismiss) {
        return std::vector{
            LxDialogActionButton("OK", [&ran] { ran.push_back("OK"); }),
            LxDialogActionButton("Remove every source", LxDialogActionButtonStyle::destruction(),
                                 [&ran, dismiss] {
                                     ran.push_back("Remove");
                                     dismiss();
                                 }),
            LxDialogActionButton("Later", LxDialogActionButtonStyle::cancel(), false,
                                 [&ran] { ran.push_back("Later"); }),
        };
    });
    state_->change("x");
    const std::vector<QAbstractButton*> row = buttons();
    ASSERT_EQ(row.size(), 3u);
    for (std::size_t index = 0; index < row.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(row[index]->width(), row[0]->width());
        EXPECT_GE(row[index]->width(), row[index]->sizeHint().width());
        EXPECT_EQ(inHost(row[index]).top(), inHost(message_).bottom() + 2);
        if (index > 0) {
            EXPECT_EQ(inHost(row[index]).left(), inHost(row[index - 1]).right() + 2);
        }
    }
    EXPECT_EQ(inHost(row.back()).right(), inHost(card_).right());

    QTest::mouseClick(row[2], Qt::LeftButton);
    QTest::mouseClick(row[0], Qt::LeftButton);
    EXPECT_TRUE(state_->isSome());
    QTest::mouseClick(row[1], Qt::LeftButton);
    processEvents();
    EXPECT_EQ(ran, (std::vector<std::string>{"OK", "Remove"}));
    EXPECT_FALSE(state_->isSome());
}

TEST_F(LxDialogTest, APressedButtonShowsTheSystemBackgroundUntilReleased) {
    makeHost();
    state_->change("x");
    QAbstractButton* button = buttons().at(0);
    const QPoint background = button->mapTo(host_, QPoint(button->width() / 2, 2));
    EXPECT_EQ(pixel(background.x(), background.y()).rgb(),
              LxColor::secondarySystemBackground().rgb());

    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(pixel(background.x(), background.y()).rgb(), LxColor::systemBackground().rgb());
    QTest::mouseRelease(button, Qt::LeftButton);
    processEvents();
    EXPECT_FALSE(state_->isSome());
}

// The card's lower left corner lies over the black half, where the veil and the shadow leave
// black: a corner cut pixel by pixel goes from black straight to the button's grey, an
// antialiased one passes through greys between.
TEST_F(LxDialogTest, TheCardsCornersAreAntialiased) {
    makeHost();
    state_->change("x");
    processEvents();
    const QImage picture = host_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect card = inHost(card_);
    ASSERT_LT(card.left(), host_->width() / 2);
    const int buttonGrey = qGray(LxColor::secondarySystemBackground().rgb());
    for (int y = card.bottom() - 5; y <= card.bottom() - 1; ++y) {
        SCOPED_TRACE(y);
        int between = 0;
        for (int x = card.left(); x < card.left() + 12; ++x) {
            const int grey = qGray(picture.pixel(x, y));
            between += grey > 5 && grey < buttonGrey - 5 ? 1 : 0;
        }
        EXPECT_GE(between, 1);
    }
}

TEST_F(LxDialogTest, AnimatedPresentationEndsWithTheLiveCardAndSurvivesTheHostGoing) {
    LxAnimation::setEnabled(true);
    makeHost();
    state_->change("x");
    ASSERT_TRUE(card_);
    EXPECT_FALSE(card_->isVisible()) << "the card should spring in as a picture first";
    ASSERT_TRUE(processEventsUntil([&] { return card_->isVisible(); }));
    EXPECT_NEAR(pixel(host_->width() - 5, 5).red(), 128, 20);

    QTest::mouseClick(buttons().at(0), Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([&] { return pixel(host_->width() - 5, 5) == Qt::white; }));

    // Presented again and gone in the middle of its animations.
    state_->change("y");
    processEvents();
    delete host_;
    processEvents();
    EXPECT_TRUE(card_.isNull());
}

}  // namespace
