#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "app/manager/AppEvents.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "support/LogCapture.h"
#include "support/QtApplicationTest.h"
#include "ui-app/ViewTestSupport.h"
#include "ui-app/hud/AppUserInterface.h"
#include "ui-app/hud/LxHudWindow.h"
#include "ui-app/hud/WindowBasedHudContentView.h"

namespace {

using std::chrono::milliseconds;

// A shown main window with a button, attached to a user interface of its own events.
class HudTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        // Before anything is shown, so that every overlay's time is on the manual clock.
        manualClock();
        window_ = std::make_unique<QWidget>();
        window_->resize(480, 300);
        button_ = new QPushButton("Combine", window_.get());
        button_->move(20, 20);
        window_->show();
    }

    void TearDown() override {
        window_.reset();
        processEvents();
        QtApplicationTest::TearDown();
    }

    void attach() {
        userInterface_.attach(window_.get());
        // The subscriptions are made on the subscription queue.
        ASSERT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));
    }

    HudController& hud() { return *userInterface_.hudController(); }

    // The overlays shown over the window now.
    std::vector<LxHudWindow*> shownOverlays() const {
        std::vector<LxHudWindow*> shown;
        if (window_) {
            for (LxHudWindow* overlay : descendants<LxHudWindow>(*window_)) {
                if (overlay->isVisible()) {
                    shown.push_back(overlay);
                }
            }
        }
        return shown;
    }
    bool overlayShown() const { return !shownOverlays().empty(); }

    void advance(milliseconds by) {
        manualClock().advance(by);
        platform::dispatch::runUntilIdle();
    }

    const AppEvents events_;
    AppUserInterface userInterface_{events_};
    std::unique_ptr<QWidget> window_;
    QPushButton* button_ = nullptr;
};

TEST_F(HudTest, AnOverlayStaysUpAtLeast150Milliseconds) {
    attach();
    struct Case {
        int dismissedAfter;
        bool hiddenAtOnce;
        int hiddenLater;
    };
    for (const Case& row :
         {Case{200, true, 0}, Case{40, false, 110}, Case{149, false, 1}, Case{150, true, 0}}) {
        SCOPED_TRACE(row.dismissedAfter);
        hud().present(std::nullopt);
        ASSERT_TRUE(overlayShown());
        advance(milliseconds(row.dismissedAfter));
        hud().dismiss();
        EXPECT_EQ(overlayShown(), !row.hiddenAtOnce);
        if (!row.hiddenAtOnce) {
            advance(milliseconds(row.hiddenLater - 1));
            EXPECT_TRUE(overlayShown());
            advance(milliseconds(1));
            EXPECT_FALSE(overlayShown());
        }
    }
}

TEST_F(HudTest, ANewOverlayReplacesTheShownOneAndOutlivesItsPendingDismissal) {
    attach();
    hud().present("Loading ...");
    advance(milliseconds(40));
    hud().dismiss();  // due 110 ms later
    advance(milliseconds(50));
    hud().present("Combining ...");
    ASSERT_EQ(shownOverlays().size(), 1u);
    EXPECT_EQ(shownOverlays().front()->contentView()->title(), "Combining ...");

    advance(milliseconds(100));  // the first dismissal's step has run
    ASSERT_EQ(shownOverlays().size(), 1u);

    // Two dismissals inside the minimum time: hidden once, when it is over.
    hud().dismiss();
    hud().dismiss();
    EXPECT_TRUE(overlayShown());
    advance(milliseconds(50));
    EXPECT_FALSE(overlayShown());
    hud().dismiss();
    EXPECT_FALSE(overlayShown());
}

TEST_F(HudTest, RequestsCoverTheWindowAndTheWindowCannotBeResizedMeanwhile) {
    attach();
    const QSize minimum = window_->minimumSize();
    const QSize maximum = window_->maximumSize();

    events_.hudPresentingRequest()->sendOnMain(std::nullopt);
    platform::dispatch::runUntilIdle();
    ASSERT_EQ(shownOverlays().size(), 1u);
    LxHudWindow* overlay = shownOverlays().front();
    EXPECT_EQ(overlay->geometry(), window_->rect().adjusted(3, 3, -3, -3));
    EXPECT_EQ(overlay->contentView()->title(), "Loading ...");
    EXPECT_EQ(overlay->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    renderAndKeep(*window_, "busy-overlay");

    manualClock().advance(milliseconds(150));
    events_.hudDismissingRequest()->sendOnMain({});
    platform::dispatch::runUntilIdle();
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(window_->minimumSize(), minimum);
    EXPECT_EQ(window_->maximumSize(), maximum);
}

TEST_F(HudTest, AParentOfBoundedOrFixedSizeGetsExactlyItsBoundsBack) {
    attach();
    struct Case {
        const char* name;
        QSize minimum;
        QSize maximum;
    };
    for (const Case& row :
         {Case{"bounded", {200, 100}, {900, 700}}, Case{"fixed", {480, 300}, {480, 300}}}) {
        SCOPED_TRACE(row.name);
        window_->setMinimumSize(row.minimum);
        window_->setMaximumSize(row.maximum);
        hud().present(std::nullopt);
        EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
        advance(milliseconds(150));
        hud().dismiss();
        EXPECT_EQ(window_->minimumSize(), row.minimum);
        EXPECT_EQ(window_->maximumSize(), row.maximum);
    }
}

TEST_F(HudTest, WhileTheOverlayIsUpTheWindowTakesNoClicksOrKeys) {
    attach();
    int clicks = 0;
    QObject::connect(button_, &QPushButton::clicked, [&] { ++clicks; });
    button_->setFocus();

    hud().present(std::nullopt);
    QTest::mouseClick(button_, Qt::LeftButton);
    QTest::keyClick(button_, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);

    advance(milliseconds(150));
    hud().dismiss();
    QTest::mouseClick(button_, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(HudTest, WithoutAMainWindowRequestsShowNothing) {
    // Never attached.
    hud().present(std::nullopt);
    hud().dismiss();
    EXPECT_FALSE(overlayShown());

    // Attached, then the window goes.
    attach();
    window_.reset();
    EXPECT_EQ(userInterface_.mainWindow(), nullptr);
    hud().present("Loading ...");
    hud().dismiss();
    processEvents();
}

TEST_F(HudTest, ASecondAttachReplacesTheWindowWithoutSubscribingAgain) {
    attach();
    auto other = std::make_unique<QWidget>();
    other->resize(300, 200);
    other->show();
    userInterface_.attach(other.get());
    ASSERT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)));

    const LogCapture log;
    events_.hudPresentingRequest()->sendOnMain("Combining ...");
    platform::dispatch::runUntilIdle();
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(descendants<LxHudWindow>(*other).size(), 1u);
    // A second subscription would have shown a second overlay, replacing (and so releasing)
    // the first.
    EXPECT_FALSE(log.contains("deinit - LxHudController"));

    advance(milliseconds(150));
    events_.hudDismissingRequest()->sendOnMain({});
    platform::dispatch::runUntilIdle();
    EXPECT_TRUE(log.contains("deinit - LxHudController"));
}

}  // namespace
