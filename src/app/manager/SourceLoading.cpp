// Loading one dropped package into the source list: opened on the caller's thread, checked on
// the background queue, listed or reported on the main queue.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "LxLog/ErrorLogging.h"
#include "LxLog/Log.h"
#include "app/manager/CombineManager.h"
#include "app/manager/TemporaryItems.h"
#include "folder/LxFolder.h"
#include "platform/foundation/AnyError.h"
#include "platform/foundation/CallSite.h"
#include "utility/LxAsync.h"
#include "utility/LxUniqueIdentifier.h"
#include "utility/ReleasedOnQueue.h"

namespace {

using SourceError = CombineSource::SourceError;

constexpr char kLoadFunction[] = "_load(projectAt:)";
constexpr char kValidateFunction[] = "validateSourceProject(_:)";

std::string loadFailureDescription(const std::filesystem::path& url) {
    return "Failed to load project from url: " + Log::escaped(LxFile(url).pathString());
}

}  // namespace

// The overlay request is queued before the package is opened, so the overlay is up while a
// large package unpacks. The handle is replaced before the check is queued: a load that reports
// before its handle is stored could not be superseded any more.
void CombineManager::addSourceProject(const std::filesystem::path& url) {
    events_.hudPresentingRequest()->sendOnMain(std::string("Loading ..."));
    SourceResult loaded = load(url);

    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    platform::reactive::AnyCancellable superseded(
        [cancelled] { cancelled->store(true, std::memory_order_relaxed); });
    {
        const std::lock_guard lock(sourceProjectAddingMutex_);
        std::swap(sourceProjectAddingCancellable_, superseded);
    }
    superseded.cancel();

    LxAsync::background([self = shared_from_this(), loaded = std::move(loaded), cancelled, url] {
        if (cancelled->load(std::memory_order_relaxed)) {
            return;
        }
        SourceResult checked = self->validateLoaded(loaded, url);
        LxAsync::main([self, checked = std::move(checked), cancelled] {
            if (!cancelled->load(std::memory_order_relaxed)) {
                self->deliver(checked);
            }
        });
    });
}

void CombineManager::clearSourceProjects() {
    source_->removeAll();
    LxAsync::main([weakOutput = std::weak_ptr<CombineOutput>(output_)] {
        if (const auto output = weakOutput.lock()) {
            output->setProfile(std::nullopt);
        }
    });
}

// Every failure is logged here, once, and then only reported as `loading`. The working folder
// goes with the last copy of the record: at once when the package does not open, when the
// check refuses it or a later drop supersedes it, and otherwise once the list and the profile
// have let go of it. A listed record's last copy is often let go of on the main thread (a
// cleared list, a replaced profile), and removing the files of a large plan takes a while:
// that removal runs in the background.
CombineManager::SourceResult CombineManager::load(const std::filesystem::path& url) const {
    try {
        const LxFolder workingFolder =
            LxFolder::tmpFolder().child(LxUniqueIdentifier::shared().uuidString(), false);
        workingFolder.createIfNotExist();
        auto removal = removedWhenReleased(workingFolder);
        // Whoever lets go of the project last, a list being cleared on the main thread
        // included, its teardown runs in the background.
        auto project = lx::releasedInBackground(documents_->load(LxFile(url), workingFolder));
        auto outline =
            std::make_shared<const CombineSource::Outline>(CombineSource::Outline::of(*project));
        const auto provisionalIndex = static_cast<std::int64_t>(source_->snapshot()->size());
        return SourceResult::success(CombineSource::Project{
            provisionalIndex, url, std::move(project), workingFolder, std::move(outline),
            lx::releasedInBackground(std::move(removal))});
    } catch (...) {
        lx::log(platform::AnyError::current(), loadFailureDescription(url),
                platform::CallSite{}.withFunction(kLoadFunction));
        return SourceResult::failure(SourceError::loading());
    }
}

// Nothing thrown on the background queue may end the load unreported: the overlay would stay up.
CombineManager::SourceResult CombineManager::validateLoaded(
    const SourceResult& loaded, const std::filesystem::path& url) const {
    if (loaded.isFailed()) {
        return loaded;
    }
    try {
        return validateSourceProject(loaded.get());
    } catch (...) {
        lx::log(platform::AnyError::current(), loadFailureDescription(url),
                platform::CallSite{}.withFunction(kValidateFunction));
        return SourceResult::failure(SourceError::loading());
    }
}

void CombineManager::deliver(const SourceResult& outcome) {
    if (outcome.isSuccess()) {
        acceptSourceProject(outcome.get());
    }
    finishSourceLoading(outcome.error());
}

// Two main-queue jobs, queued before the overlay's dismissal: the append takes the final index
// from the list as it is then, and the profile is merged with the record as listed, never with
// the provisional index a load saw on its own thread.
void CombineManager::acceptSourceProject(const CombineSource::Project& project) {
    auto listed = std::make_shared<std::optional<CombineSource::Project>>();
    LxAsync::main([source = source_, project, listed] { *listed = source->append(project); });
    LxAsync::main([weakOutput = std::weak_ptr<CombineOutput>(output_), listed] {
        const auto output = weakOutput.lock();
        if (output && *listed) {
            output->refreshOutputProfile(**listed);
        }
    });
}

void CombineManager::finishSourceLoading(const std::optional<SourceError>& failure) {
    events_.hudDismissingRequest()->sendOnMain({});
    if (!failure) {
        return;
    }
    if (failure->kind() == SourceError::Kind::loading) {
        events_.failurePresentRequest()->sendOnMain("Loading project failed");
    } else {
        projectValidatingFailedEvent_->sendOnMain(*failure->problems());
    }
}
