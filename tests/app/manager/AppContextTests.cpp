#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/manager/AppContext.h"
#include "platform/reactive/AnyCancellable.h"

namespace {

TEST(AppContextTest, EveryReaderReachesTheSameEventsAndEngine) {
    std::vector<std::string> shown;
    const platform::reactive::AnyCancellable bound =
        AppContext::shared().events().failurePresentRequest()->subject().sink(
            [&shown](const std::string& text) { shown.push_back(text); });

    AppContext::shared().events().failurePresentRequest()->send("Loading project failed");

    EXPECT_EQ(shown, std::vector<std::string>{"Loading project failed"});
    EXPECT_EQ(AppContext::shared().combineManager()->events().failurePresentRequest(),
              AppContext::shared().events().failurePresentRequest());
    EXPECT_EQ(&AppContext::shared(), &AppContext::shared());
}

TEST(AppEventsTest, CopiesShareTheirEventsAndNothingIsKeptForLaterSubscribers) {
    const AppEvents events;
    const AppEvents copy = events;
    events.hudPresentingRequest()->send(std::nullopt);

    std::vector<std::optional<std::string>> captions;
    const platform::reactive::AnyCancellable bound = copy.hudPresentingRequest()->subject().sink(
        [&captions](const std::optional<std::string>& caption) { captions.push_back(caption); });
    events.hudPresentingRequest()->send("Combining ...");

    EXPECT_EQ(captions, (std::vector<std::optional<std::string>>{"Combining ..."}));
    EXPECT_NE(AppEvents().hudPresentingRequest(), events.hudPresentingRequest());
}

}  // namespace
