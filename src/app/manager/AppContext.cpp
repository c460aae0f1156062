#include "app/manager/AppContext.h"

#include <memory>

#include "app/manager/OrbinCombineDocuments.h"

// A function-local static is made once even when several threads ask first. Everything is
// built in the constructor, under that guard, so no field can be made twice by two threads.
AppContext& AppContext::shared() {
    static AppContext* const context = new AppContext();
    return *context;
}

// The engine sends on the same events that the views and the overlay listen to, and opens and
// saves real packages through the document layer.
AppContext::AppContext()
    : events_(),
      combineManager_(
          CombineManager::create(events_, std::make_shared<const OrbinCombineDocuments>())) {}
