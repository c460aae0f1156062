#include "app/manager/AppEvents.h"

AppEvents::AppEvents()
    : hudPresentingRequest_(HudPresentingRequest::create()),
      hudDismissingRequest_(HudDismissingRequest::create()),
      failurePresentRequest_(FailurePresentRequest::create()) {}
