#pragma once

#include <memory>

#include "app/manager/AppEvents.h"
#include "app/manager/CombineOutput.h"
#include "app/manager/CombineSource.h"
#include "platform/foundation/Result.h"
#include "reactive/LxRxEvent.h"

// The combine engine: the list of source projects, the output profile they build up, the check
// of a new source against that profile, and the event that reports rejected sources. It talks
// to the views and the busy overlay only through the application events it was made with.
//
// Shared, made by `create()`, never copied; the application makes one (AppContext), a test as
// many as it likes. `source`, `output` and the event exist from construction and are kept.
//
// Example:
//   auto engine = CombineManager::create(AppEvents());
//   const auto checked = engine->validateSourceProject(loaded);
//   checked.failureOperate([&](const CombineSource::SourceError& error) { ... });
class CombineManager {
public:
    using ValidatingFailedEvent = LxRxEvent<CombineSource::ValidationResult>;
    using SourceResult = platform::Result<CombineSource::Project, CombineSource::SourceError>;

    // Member id maps of one combine (CombineCache.h).
    class CombineCache;

    static std::shared_ptr<CombineManager> create(AppEvents events);

    CombineManager(const CombineManager&) = delete;
    CombineManager& operator=(const CombineManager&) = delete;

    const AppEvents& events() const { return events_; }
    const std::shared_ptr<CombineSource>& source() const { return source_; }
    const std::shared_ptr<CombineOutput>& output() const { return output_; }
    // Carries the problems of every loaded source the validation refuses.
    const std::shared_ptr<ValidatingFailedEvent>& projectValidatingFailedEvent() const {
        return projectValidatingFailedEvent_;
    }

    // Checks `project` against the profile as it stands now (its snapshot, taken once):
    // currency, daily working hours, the cost rates of members the profile knows by name, the
    // exception days both cover, the date policy and the link type. Success with the project
    // unchanged when they agree or there is no profile; otherwise `validating` with every
    // disagreement. Any thread; changes nothing, logs nothing, throws nothing.
    SourceResult validateSourceProject(const CombineSource::Project& project) const;

private:
    explicit CombineManager(AppEvents events);

    const AppEvents events_;
    const std::shared_ptr<CombineSource> source_;
    const std::shared_ptr<CombineOutput> output_;
    const std::shared_ptr<ValidatingFailedEvent> projectValidatingFailedEvent_;
};
