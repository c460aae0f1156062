#include <chrono>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/qt/MainQueueDriver.h"
#include "support/QtApplicationTest.h"

namespace {

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

// Runs Qt's own event loop until `quit` is called, or for at most five seconds (false).
class BoundedEventLoop {
public:
    BoundedEventLoop() {
        QObject::connect(&timeout_, &QTimer::timeout, &loop_, [this] {
            timedOut_ = true;
            loop_.quit();
        });
        timeout_.setSingleShot(true);
    }

    bool exec() {
        timeout_.start(5s);
        loop_.exec();
        return !timedOut_;
    }

    void quit() { loop_.quit(); }

private:
    QEventLoop loop_;
    QTimer timeout_;
    bool timedOut_ = false;
};

class MainQueueDriverTest : public DispatchTest {};

TEST_F(MainQueueDriverTest, TheEventLoopRunsWorkInOrderAlsoWorkQueuedBeforeTheApplication) {
    std::vector<std::string> ran;
    dispatch::mainQueue()->async([&] { ran.push_back("before the application"); });
    ensureQtApplication();
    dispatch::mainQueue()->async([&] { ran.push_back("before the driver"); });
    platform::qt::MainQueueDriver driver;
    BoundedEventLoop loop;
    dispatch::globalQueue(dispatch::QoS::background)->async([&] {
        dispatch::mainQueue()->async([&] { ran.push_back("from another thread"); });
        dispatch::mainQueue()->async([&] { loop.quit(); });
    });

    ASSERT_TRUE(loop.exec());
    EXPECT_EQ(ran, (std::vector<std::string>{"before the application", "before the driver",
                                             "from another thread"}));
}

TEST_F(MainQueueDriverTest, WorkQueuedByMainWorkGetsTurnsOfItsOwn) {
    ensureQtApplication();
    platform::qt::MainQueueDriver driver;
    BoundedEventLoop loop;
    int turns = 0;
    std::function<void()> again = [&] {
        if (++turns == 100) {
            loop.quit();
        } else {
            dispatch::mainQueue()->async(again);
        }
    };
    dispatch::mainQueue()->async(again);

    ASSERT_TRUE(loop.exec());
    EXPECT_EQ(turns, 100);
}

TEST_F(MainQueueDriverTest, MainWorkGoesOnUnderANestedEventLoop) {
    ensureQtApplication();
    platform::qt::MainQueueDriver driver;
    BoundedEventLoop outer;
    std::vector<std::string> ran;
    dispatch::mainQueue()->async([&] {
        // As a modal dialog does: the work that ends the inner loop is main work too.
        BoundedEventLoop inner;
        dispatch::mainQueue()->async([&] {
            ran.push_back("inside");
            inner.quit();
        });
        EXPECT_TRUE(inner.exec());
        ran.push_back("after the inner loop");
        outer.quit();
    });

    ASSERT_TRUE(outer.exec());
    EXPECT_EQ(ran, (std::vector<std::string>{"inside", "after the inner loop"}));
}

TEST_F(MainQueueDriverTest, WithoutADriverTheEventLoopLeavesMainWorkAlone) {
    ensureQtApplication();
    bool ran = false;
    {
        platform::qt::MainQueueDriver driver;
        dispatch::mainQueue()->async([&] { ran = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);

    dispatch::runUntilIdle();
    EXPECT_TRUE(ran);
}

}  // namespace
