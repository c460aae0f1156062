#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/defaults/UserDefaults.h"
#include "platform/dispatch/MainQueue.h"
#include "reactive/LxPassthroughBindableObject.h"
#include "reactive/LxRxState.h"
#include "reactive/LxRxToogleState.h"
#include "support/DispatchTest.h"

namespace {

using namespace std::chrono_literals;
using platform::reactive::AnyCancellable;
using platform::reactive::Unit;
namespace dispatch = platform::dispatch;

class LxRxStateTest : public DispatchTest {};

TEST_F(LxRxStateTest, ToggleStateStartsFromItsValue) {
    const auto none = LxRxToogleState<std::string>::create();
    EXPECT_FALSE(none->isSome());
    EXPECT_EQ(none->value(), std::nullopt);
    const auto some = LxRxToogleState<std::string>::create("Failed");
    EXPECT_TRUE(some->isSome());
    EXPECT_EQ(some->value(), "Failed");
}

TEST_F(LxRxStateTest, AFlagWatcherAlwaysFindsTheMatchingValue) {
    const auto state = LxRxToogleState<std::string>::create("first");
    std::vector<std::string> events;
    AnyCancellable willChange =
        state->objectWillChange().sink([&](const Unit&) { events.push_back("will change"); });
    AnyCancellable flag = state->isSomePublisher().sink([&](const bool& isSome) {
        events.push_back((isSome ? "shown " : "hidden ") + state->value().value_or("none"));
    });

    state->change("second");  // the flag stays true and still notifies
    state->change(std::nullopt);
    EXPECT_EQ(events, (std::vector<std::string>{"shown first", "will change", "shown second",
                                                "will change", "hidden none"}));
}

TEST_F(LxRxStateTest, ClosingTheSheetKeepsTheValue) {
    const auto state = LxRxToogleState<int>::create(5);
    state->setIsSome(false);
    EXPECT_FALSE(state->isSome());
    EXPECT_EQ(state->value(), 5);
}

TEST_F(LxRxStateTest, AChangeOnAQueueHappensThereAndNotForAStateThatIsGone) {
    const auto state = LxRxToogleState<int>::create();
    state->change(3, dispatch::mainQueue());
    EXPECT_FALSE(state->isSome());
    EXPECT_EQ(state->value(), std::nullopt);
    dispatch::runUntilIdle();
    EXPECT_TRUE(state->isSome());
    EXPECT_EQ(state->value(), 3);

    auto released = LxRxState<int>::create(1);
    const std::weak_ptr<LxRxState<int>> weak = released;
    released->change(2, dispatch::mainQueue());
    released.reset();
    EXPECT_TRUE(weak.expired()) << "a queued change does not keep the state alive";
    dispatch::runUntilIdle();
}

TEST_F(LxRxStateTest, StateChangesNotifyWithTheNewValue) {
    const auto state = LxRxState<std::string>::create("a");
    std::vector<std::string> seen;
    AnyCancellable values =
        state->publisher().sink([&](const std::string& value) { seen.push_back(value); });
    state->change("b");
    state->change("b", dispatch::mainQueue());
    dispatch::runUntilIdle();
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "b"}));
    EXPECT_EQ(state->value(), "b");
}

TEST_F(LxRxStateTest, UserDefaultStateLoadsOnceAndSavesEachChange) {
    platform::UserDefaults store;
    const auto first = LxRxUserDefaultState<double>::create("view_width", 320.0, store);
    EXPECT_EQ(first->value(), 320.0);
    EXPECT_EQ(store.object("view_width"), std::nullopt) << "nothing is written when made";

    first->change(400.0);
    EXPECT_EQ(store.double_("view_width"), 400.0);
    EXPECT_EQ(LxRxUserDefaultState<double>::create("view_width", 320.0, store)->value(), 400.0);

    first->change(500.0, dispatch::mainQueue());
    EXPECT_EQ(store.double_("view_width"), 400.0);
    dispatch::runUntilIdle();
    EXPECT_EQ(store.double_("view_width"), 500.0);
}

struct Member {
    std::string name;
    std::vector<int> tasks;
    std::int64_t id() const { return 42; }
};

TEST_F(LxRxStateTest, BindableObjectReadsMembersOfTheCurrentValue) {
    const auto member = LxPassthroughBindableObject<Member>::create(Member{"Anna", {1}});
    int notified = 0;
    AnyCancellable willChange =
        member->objectWillChange().sink([&notified](const Unit&) { ++notified; });
    EXPECT_EQ((*member)->tasks.size(), 1u);
    member->setWrappedValue(Member{"Ben", {1, 2, 3}});
    EXPECT_EQ((*member)->tasks.size(), 3u);
    EXPECT_EQ((*member)->name, "Ben");
    EXPECT_EQ(member->id(), 42);
    EXPECT_EQ(notified, 1);
}

}  // namespace
