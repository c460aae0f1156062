#include <gtest/gtest.h>

#include "platform/dispatch/Group.h"
#include "platform/dispatch/MainQueue.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;

class GroupTest : public DispatchTest {};

TEST_F(GroupTest, ListenerRunsOnceWhenTheCountFallsToZero) {
    const auto group = Group::create();
    int notified = 0;
    group->enter();
    group->enter();
    group->notify(mainQueue(), [&notified] { ++notified; });
    group->leave();
    runUntilIdle();
    EXPECT_EQ(notified, 0);

    group->leave();
    runUntilIdle();
    EXPECT_EQ(notified, 1);

    group->enter();
    group->leave();
    runUntilIdle();
    EXPECT_EQ(notified, 1) << "a listener is not kept for later rounds";
}

TEST_F(GroupTest, ListenerOfAnIdleGroupIsQueuedAtOnce) {
    bool notified = false;
    Group::create()->notify(mainQueue(), [&notified] { notified = true; });
    EXPECT_FALSE(notified);
    runUntilIdle();
    EXPECT_TRUE(notified);
}

using GroupDeathTest = GroupTest;

TEST_F(GroupDeathTest, LeaveWithoutEnterAborts) {
    EXPECT_DEATH(
        {
            logToStandardError();
            Group::create()->leave();
        },
        "Dispatch group left more often than entered");
}

}  // namespace
