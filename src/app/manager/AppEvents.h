#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/reactive/Completion.h"
#include "reactive/LxRxEvent.h"

// The application's requests between the engine, the views and the busy overlay: show the
// overlay with a caption (none: the overlay's default caption), hide it, show a failure text in
// the main window's error dialog.
//
// A value made with new events; copies share them, so a sender and a receiver holding
// different copies reach each other. An event reaches the subscribers present when it is
// delivered; nothing is kept for later subscribers.
//
// Example:
//   const AppEvents events;
//   events.failurePresentRequest()->sendOnMain("Loading project failed");
class AppEvents {
public:
    using HudPresentingRequest = LxRxEvent<std::optional<std::string>>;
    using HudDismissingRequest = LxRxEvent<platform::reactive::Unit>;
    using FailurePresentRequest = LxRxEvent<std::string>;

    AppEvents();

    const std::shared_ptr<HudPresentingRequest>& hudPresentingRequest() const {
        return hudPresentingRequest_;
    }
    const std::shared_ptr<HudDismissingRequest>& hudDismissingRequest() const {
        return hudDismissingRequest_;
    }
    const std::shared_ptr<FailurePresentRequest>& failurePresentRequest() const {
        return failurePresentRequest_;
    }

private:
    std::shared_ptr<HudPresentingRequest> hudPresentingRequest_;
    std::shared_ptr<HudDismissingRequest> hudDismissingRequest_;
    std::shared_ptr<FailurePresentRequest> failurePresentRequest_;
};
