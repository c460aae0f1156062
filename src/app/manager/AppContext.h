#pragma once

#include <memory>

#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"

// The application's one context: the application events and the one combine engine, which
// the views, the engine and the busy overlay reach through it instead of through each other.
//
// `shared()` makes the context on first use, from any thread, exactly once; it and everything
// it holds live until the process ends and are never replaced, so any part may keep references
// to them. Tests make their own engines (CombineManager::create) rather than use this one.
//
// Example:
//   AppContext::shared().events().failurePresentRequest()->sendOnMain("Combining failed");
class AppContext {
public:
    static AppContext& shared();

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const AppEvents& events() const { return events_; }
    const std::shared_ptr<CombineManager>& combineManager() const { return combineManager_; }

private:
    AppContext();

    const AppEvents events_;
    const std::shared_ptr<CombineManager> combineManager_;
};
