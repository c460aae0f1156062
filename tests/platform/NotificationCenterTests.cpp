#include <any>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/NotificationCenter.h"

namespace {

using platform::NotificationCenter;

TEST(NotificationCenterTest, DeliversToObserversOfTheNameInOrderWithTheObject) {
    NotificationCenter center;
    std::vector<std::string> calls;
    center.addObserver("saved", [&](const std::any& object) {
        const auto* text = std::any_cast<std::string>(&object);
        calls.push_back("first " + (text ? *text : std::string("without object")));
    });
    center.addObserver("other", [&](const std::any&) { calls.push_back("other"); });
    center.addObserver("saved", [&](const std::any& object) {
        calls.push_back(object.has_value() ? "second" : "second without object");
    });

    center.post("saved", std::string("plan"));
    calls.push_back("-");
    center.post("saved");

    EXPECT_EQ(calls, (std::vector<std::string>{"first plan", "second", "-", "first without object",
                                               "second without object"}));
}

TEST(NotificationCenterTest, ChangesDuringADeliveryApplyToLaterObserversAndPosts) {
    NotificationCenter center;
    std::vector<std::string> calls;
    NotificationCenter::Token removed = 0;
    center.addObserver("n", [&](const std::any&) {
        calls.push_back("remover");
        center.removeObserver(removed);
        center.addObserver("n", [&](const std::any&) { calls.push_back("added"); });
    });
    removed = center.addObserver("n", [&](const std::any&) { calls.push_back("removed"); });

    center.post("n", 1);

    EXPECT_EQ(calls, std::vector<std::string>{"remover"});
    center.removeObserver(removed);  // a second removal does nothing
}

TEST(NotificationCenterTest, PostsFromManyThreadsAllArrive) {
    NotificationCenter center;
    std::atomic<int> received = 0;
    const auto token = center.addObserver("n", [&](const std::any&) { ++received; });
    std::vector<std::thread> posters;
    for (int index = 0; index < 4; ++index) {
        posters.emplace_back([&] {
            for (int post = 0; post < 250; ++post) {
                center.post("n", post);
            }
        });
    }
    for (auto& poster : posters) {
        poster.join();
    }
    center.removeObserver(token);
    center.post("n", 0);

    EXPECT_EQ(received.load(), 1000);
}

}  // namespace
