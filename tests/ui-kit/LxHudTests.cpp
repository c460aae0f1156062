#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QGraphicsBlurEffect>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <gtest/gtest.h>

#include "platform/reactive/AnyCancellable.h"
#include "support/QtApplicationTest.h"
#include "support/ViewRendering.h"
#include "ui-kit/LxDefaultSpinner.h"
#include "ui-kit/LxHud.h"
#include "ui-kit/LxHudManager.h"

namespace {

// Content that is white, or black on its left half.
class Paper final : public QWidget {
public:
    explicit Paper(bool halfBlack) : halfBlack_(halfBlack) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (halfBlack_) {
            painter.fillRect(QRect(0, 0, width() / 2, height()), Qt::black);
        }
    }

private:
    bool halfBlack_;
};

// The HUD's flag is the HUD manager's, as an application would bind it.
class LxHudTest : public QtApplicationTest {
protected:
    void TearDown() override {
        window_.reset();
        processEvents();
        QtApplicationTest::TearDown();
    }

    platform::qt::Binding<bool> flag() const {
        return {[manager = manager_] { return manager->presented(); },
                [manager = manager_](bool presented) { manager->setPresented(presented); },
                manager_->presentedPublisher()};
    }

    LxHudHost* makeHost(std::optional<platform::CGFloat> blurryRadius,
                        std::optional<LxHudCancelButton> cancellation = LxHudCancelButton(),
                        bool halfBlack = false) {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
        host_ = lxHud(new Paper(halfBlack), flag(), 180, blurryRadius, std::move(cancellation));
        layout->addWidget(host_);
        window_->resize(400, 300);
        window_->show();
        processEvents();
        return host_;
    }

    const QGraphicsBlurEffect* blur() const {
        return dynamic_cast<const QGraphicsBlurEffect*>(
            host_->content()->parentWidget()->graphicsEffect());
    }

    QColor pixel(QPoint point) const { return host_->grab().toImage().pixelColor(point); }

    const std::shared_ptr<LxHudManager> manager_ = LxHudManager::create();
    std::unique_ptr<QWidget> window_;
    QPointer<LxHudHost> host_;
};

TEST_F(LxHudTest, OnlyWhilePresentedIsTheContentDisabledDimmedAndBlurredByTheRadiusGiven) {
    for (const std::optional<platform::CGFloat> radius :
         {std::optional<platform::CGFloat>(), std::optional<platform::CGFloat>(0),
          std::optional<platform::CGFloat>(8)}) {
        SCOPED_TRACE(radius ? std::to_string(*radius) : "no blur");
        manager_->setPresented(false);
        makeHost(radius);
        for (const bool presented : {false, true, false}) {
            SCOPED_TRACE(presented);
            manager_->setPresented(presented);
            EXPECT_EQ(host_->isPresented(), presented);
            EXPECT_EQ(host_->content()->isEnabled(), !presented);
            EXPECT_EQ(host_->dimLayer()->isVisible(), presented);
            EXPECT_EQ(host_->cancelButton()->isVisible(), presented);
            EXPECT_EQ(host_->cancelButton()->isEnabled(), true);
            EXPECT_EQ(host_->spinner() != nullptr, presented);
            if (presented && radius) {
                ASSERT_NE(blur(), nullptr);
                EXPECT_EQ(blur()->blurRadius(), *radius);
            } else {
                EXPECT_EQ(blur(), nullptr);
            }
        }
    }
    makeHost(std::nullopt, std::nullopt);
    manager_->setPresented(true);
    EXPECT_EQ(host_->cancelButton(), nullptr);
    ASSERT_NE(host_->spinner(), nullptr);
    EXPECT_EQ(host_->spinner()->spinnerSize(), 180);
    EXPECT_EQ(host_->spinner()->rotation()->state(), QAbstractAnimation::Running);
}

TEST_F(LxHudTest, TheDimLayerDarkensTheContentToAQuarterUnderTheButtonAndTheSpinner) {
    makeHost(std::nullopt);
    manager_->setPresented(true);
    EXPECT_EQ(pixel(QPoint(20, 20)), QColor(64, 64, 64)) << "white under black at 0.75";
    const QPushButton* button = host_->cancelButton();
    EXPECT_EQ(button->text(), "Cancel");
    EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(Qt::white));
    EXPECT_EQ(button->geometry().center().x(), host_->rect().center().x());
    EXPECT_EQ(button->geometry().bottom() + 1, host_->height() - 16)
        << "the default padding around the button and no more below it";
    EXPECT_EQ(host_->spinner()->geometry().center(), host_->rect().center());
    EXPECT_EQ(pixel(host_->rect().center() + QPoint(90, 0)), QColor(Qt::white))
        << "the spinner's lead dot lies above the dim layer";
    // Above the dim layer too: the button keeps its own colours.
    EXPECT_NE(pixel(button->geometry().topLeft() + QPoint(button->width() / 2, 3)),
              QColor(64, 64, 64));

    makeHost(8, LxHudCancelButton({}, &LxHudCancelButton::defaultText, 10), true);
    manager_->setPresented(true);
    EXPECT_EQ(host_->cancelButton()->geometry().bottom() + 1, host_->height() - 16 - 10);
    renderAndKeep(*host_, "hud-over-half-black");
}

TEST_F(LxHudTest, CancelClearsTheFlagBeforeTellingAndTheNextPresentationSpinsAnew) {
    std::vector<bool> flagWhenCancelled;
    makeHost(8, LxHudCancelButton([&] { flagWhenCancelled.push_back(manager_->presented()); },
                                  [] {
                                      return LxHudCancelButton::Text{"Stop", std::nullopt};
                                  }));
    const auto session = manager_->newSession();
    ASSERT_TRUE(session);
    session->start();
    ASSERT_TRUE(host_->isPresented());
    EXPECT_EQ(host_->cancelButton()->text(), "Stop");
    QPointer<LxDefaultSpinner> first = host_->spinner();
    first->rotation()->setCurrentTime(700);
    EXPECT_GT(first->ringAngle(), 0);

    QTest::mouseClick(host_->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(flagWhenCancelled, std::vector<bool>{false});
    EXPECT_FALSE(host_->isPresented());
    EXPECT_TRUE(host_->content()->isEnabled());
    EXPECT_TRUE(first.isNull()) << "hiding the HUD ends its spinner";
    EXPECT_TRUE(session->presented()) << "the cancel button writes only the flag";

    manager_->setPresented(true);
    ASSERT_NE(host_->spinner(), nullptr);
    EXPECT_EQ(host_->spinner()->ringAngle(), 0);
}

TEST_F(LxHudTest, AHostDeletedByTheFlagsOwnerDuringACancelStillReportsTheCancel) {
    int cancels = 0;
    makeHost(8, LxHudCancelButton([&] { ++cancels; }));
    manager_->setPresented(true);
    const platform::reactive::AnyCancellable closing =
        manager_->presentedPublisher().sink([this](const bool& presented) {
            if (!presented && host_) {
                delete host_;
            }
        });
    QTest::mouseClick(host_->cancelButton(), Qt::LeftButton);
    processEvents();
    EXPECT_TRUE(host_.isNull());
    EXPECT_EQ(cancels, 1);
}

}  // namespace
