// Making and merging the output profile.

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "app/manager/CombineOutput.h"
#include "app/manager/ExceptionDays.h"
#include "app/manager/MemberNameIndex.h"
#include "utility/DateExtensions.h"
#include "utility/StringExtensions.h"

namespace {

using Profile = CombineOutput::Profile;
using Member = CombineOutput::Member;
using Layout = CombineOutput::SourceProjectLayoutOption;

// Deeper outlines than this cannot be shown under one group task per source.
constexpr std::int64_t kMaxOutlineLevelForGroupLayout = 4;

using SharedRecord = std::shared_ptr<const CombineSource::Project>;

std::vector<std::shared_ptr<OrbProjectMember>> teamOf(const CombineSource::Project& source) {
    return source.orbProject->team()->members();
}

Member entryOf(const SharedRecord& source, const std::shared_ptr<OrbProjectMember>& member) {
    return Member{lx::trimmed(member->name()), {{source, member}}};
}

// One entry per member, in team order; equal names stay apart because nothing says yet which
// of them are the same person.
std::vector<Member> entriesOf(const SharedRecord& source) {
    std::vector<Member> entries;
    for (const auto& member : teamOf(*source)) {
        entries.push_back(entryOf(source, member));
    }
    return entries;
}

// A member joins the first entry of its trimmed name, entries appended for earlier members of
// the same source included; an empty name is nobody in particular and joins none.
void mergeTeam(std::vector<Member>& entries, const SharedRecord& source) {
    MemberNameIndex index(entries);
    for (const auto& member : teamOf(*source)) {
        const std::string name = lx::trimmed(member->name());
        if (const auto joined = index.firstMatch(name)) {
            entries[*joined].sources.push_back({source, member});
        } else {
            index.add(name, entries.size());
            entries.push_back(entryOf(source, member));
        }
    }
}

// Only days outside the profile's range are taken: inside it the validation has already made
// sure the sources agree. The range and the list are the ones before this merge, so two days
// of the source on one day are both taken.
void mergeExceptionDays(Profile& profile, const std::vector<platform::Date>& days) {
    if (profile.calendarExceptions.empty()) {
        profile.calendarExceptions = days;
        return;
    }
    std::vector<platform::Date> taken;
    for (const platform::Date day : days) {
        const platform::Date dayStart = lx::toDayOnly(day);
        const bool outsideRange = dayStart < profile.start || dayStart > profile.finish;
        if (outsideRange && !containsSameDay(profile.calendarExceptions, day)) {
            taken.push_back(day);
        }
    }
    std::ranges::copy(taken, std::back_inserter(profile.calendarExceptions));
}

// A sub-project cannot sit inside another sub-project task; a deep outline does not fit under
// one group task. At most one correction applies.
void correctLayout(Profile& profile) {
    if (profile.includeSubProject && profile.sourceProjectLayoutOption == Layout::subProject) {
        profile.sourceProjectLayoutOption = Layout::group;
    } else if (profile.maxOutlineLevel >= kMaxOutlineLevelForGroupLayout &&
               profile.sourceProjectLayoutOption == Layout::group) {
        profile.sourceProjectLayoutOption = Layout::direct;
    }
}

}  // namespace

Profile Profile::makeOutputProfile(const CombineSource::Project& from) {
    const OrbProject& project = *from.orbProject;
    const CombineSource::Outline outline = from.outline();
    Profile profile;
    profile.name = "Combined Project";
    profile.currency = project.currency();
    profile.displayCurrencyAtBegining = project.displayCurrencyAtBegin();
    profile.dailyWorkingHours = project.dailyWorkingHours();
    profile.defaultChargeRate = project.defaultCostRate();
    profile.members = entriesOf(std::make_shared<const CombineSource::Project>(from));
    profile.calendarExceptions = project.calendar()->exceptions();
    profile.onlyScheduleTasksAtWorkingDays = project.onlyWorkingDayTaskSchedule();
    profile.taskLinkType = project.taskLinkType();
    profile.start = outline.start;
    profile.finish = outline.finish;
    profile.includeSubProject = outline.includeSubProject;
    profile.maxOutlineLevel = outline.maxOutlineLevel;
    profile.sourceProjectLayoutOption =
        profile.maxOutlineLevel < kMaxOutlineLevelForGroupLayout ? Layout::group : Layout::direct;
    return profile;
}

Profile Profile::merged(const CombineSource::Project& with) const {
    const OrbProject& project = *with.orbProject;
    const CombineSource::Outline outline = with.outline();
    Profile profile = *this;
    const auto record = std::make_shared<const CombineSource::Project>(with);
    if (profile.members.empty()) {
        profile.members = entriesOf(record);
    } else {
        mergeTeam(profile.members, record);
    }
    const std::vector<platform::Date> days = project.calendar()->exceptions();
    if (!days.empty()) {
        mergeExceptionDays(profile, days);
    }
    profile.start = std::min(profile.start, outline.start);
    profile.finish = std::max(profile.finish, outline.finish);
    profile.includeSubProject = profile.includeSubProject || outline.includeSubProject;
    profile.maxOutlineLevel = std::max(profile.maxOutlineLevel, outline.maxOutlineLevel);
    correctLayout(profile);
    return profile;
}
