#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/reactive/ObservableObject.h"

namespace {

using namespace platform::reactive;

class Counter : public ObservableObject {
public:
    Published<int> count{*this, 0};
};

TEST(PublishedTest, WillChangeComesFirstAndThePropertyPublisherSeesTheStoredValue) {
    Counter counter;
    std::vector<std::string> events;
    AnyCancellable willChange = counter.objectWillChange().sink([&](const Unit&) {
        events.push_back("will change, reads " + std::to_string(counter.count.get()));
    });
    AnyCancellable changes = counter.count.publisher().sink([&](const int& value) {
        events.push_back("published " + std::to_string(value) + ", reads " +
                         std::to_string(counter.count.get()));
    });
    counter.count.set(1);
    counter.count.set(1);

    EXPECT_EQ(events, (std::vector<std::string>{
                          "published 0, reads 0",  // the current value, at subscription
                          "will change, reads 0",
                          "published 1, reads 1",
                          "will change, reads 1",  // an equal value notifies too
                          "published 1, reads 1",
                      }));
}

}  // namespace
