#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/dispatch/SerialQueue.h"
#include "support/DispatchTest.h"
#include "utility/ReleasedOnQueue.h"

namespace {

using platform::dispatch::SerialQueue;

class ReleasedOnQueueTest : public DispatchTest {
protected:
    // A text whose release counts down `released` and says on which thread it happened.
    std::shared_ptr<std::string> watched(const std::string& text) {
        return {new std::string(text), [this](std::string* released) {
                    releasingThread_ = std::this_thread::get_id();
                    delete released;
                    released_.countDown();
                }};
    }

    TestLatch released_{1};
    std::atomic<std::thread::id> releasingThread_;
};

TEST_F(ReleasedOnQueueTest, TheLastCopyGoneHandsTheReleaseToTheQueue) {
    const auto queue = SerialQueue::create("test.release");
    TestLatch busy(1);
    queue->async([&busy] { busy.wait(); });

    auto shared = lx::releasedOn(queue, watched("plan"));
    const std::weak_ptr<std::string> object = shared;
    EXPECT_EQ(*shared, "plan");
    auto copy = shared;
    shared.reset();
    EXPECT_FALSE(object.expired());
    copy.reset();
    EXPECT_TRUE(object.expired()) << "the answer's copies are gone";
    EXPECT_FALSE(released_.wait(std::chrono::milliseconds(0))) << "the queue has not run yet";

    busy.countDown();
    ASSERT_TRUE(released_.wait());
    EXPECT_NE(releasingThread_.load(), std::this_thread::get_id());
}

TEST_F(ReleasedOnQueueTest, CopiesOfTheObjectItselfKeepItAlive) {
    const auto queue = SerialQueue::create("test.release");
    auto object = watched("plan");
    auto shared = lx::releasedOn(queue, object);
    shared.reset();
    queue->sync([] {});
    EXPECT_EQ(*object, "plan");
    object.reset();
    EXPECT_TRUE(released_.wait());
    EXPECT_EQ(releasingThread_.load(), std::this_thread::get_id());
}

TEST_F(ReleasedOnQueueTest, NothingStaysNothing) {
    EXPECT_EQ(lx::releasedInBackground(std::shared_ptr<int>()), nullptr);
}

}  // namespace
