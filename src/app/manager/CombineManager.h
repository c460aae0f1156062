#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "app/manager/AppEvents.h"
#include "app/manager/CombineDocuments.h"
#include "app/manager/CombineOutput.h"
#include "app/manager/CombineSource.h"
#include "folder/LxFile.h"
#include "platform/foundation/Result.h"
#include "platform/reactive/AnyCancellable.h"
#include "reactive/LxRxEvent.h"

// The combine engine: the list of source projects, the output profile they build up, the check
// of a new source against that profile, the loading of dropped packages, the event that reports
// rejected sources, and the combine that builds one project package from them all. It talks to
// the views and the busy overlay only through the application events it was made with, and to
// the disk through its CombineDocuments.
//
// Threads: `addSourceProject` runs on any thread (the package is opened there), validates on the
// background queue and lists the source on the main queue; `clearSourceProjects` runs on the
// main thread; `combine` runs on a background thread, one combine at a time, over snapshots of
// the profile and the source list taken when it starts. Nothing here throws.
//
// Shared, made by `create()`, never copied; the application makes one (AppContext), a test as
// many as it likes. `source`, `output` and the event exist from construction and are kept.
//
// Example:
//   auto engine = CombineManager::create(AppEvents(), documents);
//   engine->addSourceProject("/drops/plan.orb");       // listed later, on the main queue
//   LxAsync::background([engine] { const std::optional<LxFile> package = engine->combine(); });
class CombineManager : public std::enable_shared_from_this<CombineManager> {
public:
    using ValidatingFailedEvent = LxRxEvent<CombineSource::ValidationResult>;
    using SourceResult = platform::Result<CombineSource::Project, CombineSource::SourceError>;

    // Member id maps of one combine (CombineCache.h).
    class CombineCache;

    // Without documents the engine opens and saves no package: every load and every combine
    // that gets as far as saving fails (and logs) as the document layer would.
    static std::shared_ptr<CombineManager> create(
        AppEvents events, std::shared_ptr<const CombineDocuments> documents = nullptr);

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

    // --- Loading (SourceLoading.cpp) ---

    // Asks for the busy overlay ("Loading ..."), opens the package at `url` into a new working
    // folder under the temporary folder on the calling thread, checks it on the background
    // queue and, on the main queue, either lists it and merges it into the profile (in that
    // order) or reports why not ("Loading project failed", or the problems on
    // `projectValidatingFailedEvent`); the overlay is dismissed before any report and after the
    // merge. A later call supersedes a load that has not reported yet: that one ends silently.
    // Any thread; returns once the package is open.
    void addSourceProject(const std::filesystem::path& url);

    // Empties the source list at once and drops the profile on the next turn of the main queue.
    // The sources' working folders go once neither holds them and no combine reads them; a load
    // in flight goes on. Main thread.
    void clearSourceProjects();

    // --- Combining (CombinedProjectAssembly.cpp) ---

    // Builds the combined project from the profile and the sources (header, merged team with
    // their photos, calendar, every source's task tree placed by the layout with fresh ids,
    // assignments, contact persons and links), writes it into a new working folder under the
    // temporary folder and packs it into a new "<UUID>.orb" there; the working folder is removed
    // again on every road, and the package is the caller's to remove once it is saved. None without
    // a profile or a source (nothing made, nothing logged) or when saving fails (logged).
    // Background thread; combines run one at a time.
    std::optional<LxFile> combine();

private:
    // One source's task tree copied into a combined project (CombineTaskTreeCopy.h).
    class TaskTreeCopy;

    CombineManager(AppEvents events, std::shared_ptr<const CombineDocuments> documents);

    // Opens the package; the index is provisional. Logs a failure once.
    SourceResult load(const std::filesystem::path& url) const;
    // Background work of one load: the check, or the failure passed on.
    SourceResult validateLoaded(const SourceResult& loaded, const std::filesystem::path& url) const;
    // Main-queue delivery of a load's outcome.
    void deliver(const SourceResult& outcome);
    void acceptSourceProject(const CombineSource::Project& project);
    void finishSourceLoading(const std::optional<CombineSource::SourceError>& failure);

    std::optional<LxFile> assembleCombinedProject(
        const CombineOutput::Profile& profile, const std::vector<CombineSource::Project>& sources);

    const AppEvents events_;
    const std::shared_ptr<const CombineDocuments> documents_;
    const std::shared_ptr<CombineSource> source_;
    const std::shared_ptr<CombineOutput> output_;
    const std::shared_ptr<ValidatingFailedEvent> projectValidatingFailedEvent_;
    // The handle of the load started last; replacing it cancels that load unless it has
    // reported already. Loads may start on any thread.
    std::mutex sourceProjectAddingMutex_;
    platform::reactive::AnyCancellable sourceProjectAddingCancellable_;
    // Held for the whole of a combine.
    std::mutex combineMutex_;
};
