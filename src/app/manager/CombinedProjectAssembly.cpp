// The combine: one new project built from the output profile and every source, written into a
// new working folder and packed into a package file in the temporary folder.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "LxLog/ErrorLogging.h"
#include "LxLog/Log.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "LxOrbinDocument/Model/Project/OrbProjectCalendar.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "app/manager/CombineCache.h"
#include "app/manager/CombineManager.h"
#include "app/manager/CombineTaskTreeCopy.h"
#include "app/manager/TemporaryItems.h"
#include "folder/LxFolder.h"
#include "platform/foundation/AnyError.h"
#include "platform/foundation/CallSite.h"
#include "utility/LxUniqueIdentifier.h"
#include "utility/StringExtensions.h"

namespace {

using Profile = CombineOutput::Profile;
using Source = CombineOutput::Member::Source;
using WorkingFolder = OrbinDocumentManager::ProjectWorkingFolder;

constexpr char kCombineFunction[] = "combine()";

platform::CallSite combineSite() {
    return platform::CallSite{}.withFunction(kCombineFunction);
}

// Rates at or below this are placeholders of an unset rate, not a price.
constexpr float kLeastCostRate = 0.001f;

// The view settings come from the first source; the project's notes are present and empty.
void takeViewSettings(OrbProject& project, const OrbProject& first) {
    project.setColorIndex(first.colorIndex());
    project.setImageId(first.imageId());
    project.setNotes(std::string());
    project.setTimespaceScale(first.timespaceScale());
    project.setTimespaceOrginalTime(first.timespaceOrginalTime());
    project.setScreenOffsetY(first.screenOffsetY());
}

void takeProfileSettings(OrbProject& project, const Profile& profile) {
    project.setDefaultCostRate(profile.defaultChargeRate);
    project.setDisplayCurrencyAtBegin(profile.displayCurrencyAtBegining);
    project.setCurrency(profile.currency);
    project.setDailyWorkingHours(profile.dailyWorkingHours);
    project.setOnlyWorkingDayTaskSchedule(profile.onlyScheduleTasksAtWorkingDays);
    project.setTaskLinkType(profile.taskLinkType);
}

// A member's photo: the file of the same id in the photo source's working folder. A photo that
// cannot be copied (missing, or already copied for another member of the same id) is only
// warned about; the member keeps its photo id.
void copyPhoto(const Source& photoSource, const WorkingFolder& to) {
    const std::string& photoId = *photoSource.member->photoid();
    const LxFile from = WorkingFolder(photoSource.project->workingFolder).photoFile(photoId);
    try {
        from.copy(to.photoFile(photoId));
    } catch (...) {
        Log::warning([&] { return "Failed to copy photo at " + Log::escaped(from.pathString()); },
                     combineSite());
    }
}

// One combined member per profile member, ids 1, 2, 3 ... in profile order: the photo of the
// last source that has one, the first e-mail and the first real cost rate. Every source member
// is mapped to its combined id.
std::shared_ptr<OrbProjectTeam> mergedTeam(const Profile& profile, const WorkingFolder& folder,
                                           CombineManager::CombineCache& caches) {
    folder.photoFolder().createIfNotExist();
    std::vector<std::shared_ptr<OrbProjectMember>> members;
    std::int64_t id = 0;
    for (const CombineOutput::Member& entry : profile.members) {
        ++id;
        const auto& sources = entry.sources;
        const auto photoSource =
            std::find_if(sources.rbegin(), sources.rend(),
                         [](const Source& s) { return !lx::isBlank(s.member->photoid()); });
        const auto mailSource = std::ranges::find_if(
            sources, [](const Source& s) { return !lx::isBlank(s.member->email()); });
        const auto rateSource = std::ranges::find_if(
            sources, [](const Source& s) { return s.member->costRate() > kLeastCostRate; });

        const bool hasPhoto = photoSource != sources.rend();
        members.push_back(OrbProjectMember::create(
            id, entry.name, hasPhoto ? photoSource->member->photoid() : std::nullopt,
            mailSource != sources.end() ? mailSource->member->email() : std::nullopt,
            rateSource != sources.end() ? std::optional(rateSource->member->costRate())
                                        : std::nullopt));
        if (hasPhoto) {
            copyPhoto(*photoSource, folder);
        }
        for (const Source& source : sources) {
            caches.registerMember(source.project->index, source.member->id(), id);
        }
    }
    auto team = OrbProjectTeam::create();
    team->initByMembers(members);
    return team;
}

// The day map is not rebuilt for the added days; readers recount from the exception list.
std::shared_ptr<OrbProjectCalendar> mergedCalendar(const Profile& profile) {
    auto calendar = OrbProjectCalendar::create(profile.start, profile.finish, "");
    for (const platform::Date day : profile.calendarExceptions) {
        calendar->addExceptionDay(day);
    }
    return calendar;
}

}  // namespace

// The profile and the list are read once, as snapshots: the main thread may change both while
// the combine runs, and a combine must see one consistent state. Combines are serialised because
// they read the shared source projects, whose links and derived values are made on first read.
std::optional<LxFile> CombineManager::combine() {
    const std::lock_guard lock(combineMutex_);
    const std::shared_ptr<const Profile> profile = output_->snapshot();
    if (!profile) {
        return std::nullopt;
    }
    const auto sources = source_->snapshot();
    if (sources->empty()) {
        return std::nullopt;
    }
    try {
        return assembleCombinedProject(*profile, *sources);
    } catch (...) {
        lx::log(platform::AnyError::current(), "Failed to save to orb file", combineSite());
        return std::nullopt;
    }
}

std::optional<LxFile> CombineManager::assembleCombinedProject(
    const Profile& profile, const std::vector<CombineSource::Project>& sources) {
    const LxFolder workingFolder =
        LxFolder::tmpFolder().child(LxUniqueIdentifier::shared().uuidString(), false);
    workingFolder.createIfNotExist();
    // Everything the package needs is in it once it is packed.
    const auto removal = removedWhenReleased(workingFolder);

    CombineCache caches;
    for (const CombineSource::Project& source : sources) {
        auto& cache = caches.caches[source.index];
        if (!cache) {
            cache = std::make_shared<CombineCache::ProjectCache>(source.index);
        }
    }

    const auto project =
        OrbProject::create(LxUniqueIdentifier::shared().uuidString(), profile.name);
    takeViewSettings(*project, *sources.front().orbProject);
    takeProfileSettings(*project, profile);
    project->setTeam(mergedTeam(profile, WorkingFolder(workingFolder), caches));
    project->initializeCalendar(mergedCalendar(profile));

    std::int64_t taskIdSeed = project->root()->id() + 1;
    // Every copy takes the next id of the seed, one per source task and one per source root:
    // the registry is made for all of them at once.
    std::int64_t copies = 0;
    for (const CombineSource::Project& source : sources) {
        copies += std::max<std::int64_t>(source.orbProject->taskCount(), 0) + 1;
    }
    project->reserveTaskIdsBelow(taskIdSeed + copies);
    {  // The copy's lookup table is let go before saving.
        TaskTreeCopy treeCopy;
        for (const CombineSource::Project& source : sources) {
            const auto cache = caches.caches.find(source.index);
            if (cache != caches.caches.end()) {
                treeCopy.combineProject(source, *cache->second, project, taskIdSeed,
                                        profile.sourceProjectLayoutOption);
            }
        }
    }

    const LxFile package = LxFolder::temporaryFile(".orb");
    documents_->saveProject(*project, workingFolder);
    documents_->orbFile(*project, workingFolder, package);
    return package;
}
