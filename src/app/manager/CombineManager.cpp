#include "app/manager/CombineManager.h"

#include <utility>

std::shared_ptr<CombineManager> CombineManager::create(AppEvents events) {
    return std::shared_ptr<CombineManager>(new CombineManager(std::move(events)));
}

// The source list is made here rather than on first use: the views and the loading work reach
// for it from different threads, and one made eagerly can never be made twice.
CombineManager::CombineManager(AppEvents events)
    : events_(std::move(events)),
      source_(CombineSource::create()),
      output_(CombineOutput::create()),
      projectValidatingFailedEvent_(ValidatingFailedEvent::create()) {}
