// The check of a new source against the output profile. Every check runs, so the problems
// sheet lists all disagreements at once; the texts are what the user reads.

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "app/manager/CombineManager.h"
#include "app/manager/ExceptionDays.h"
#include "app/manager/MemberNameIndex.h"
#include "utility/DateExtensions.h"
#include "utility/NumberConversions.h"
#include "utility/StringExtensions.h"

namespace {

using Profile = CombineOutput::Profile;
using ValidationResult = CombineSource::ValidationResult;

// Rates and hours are stored in single precision; smaller differences are rounding, not a
// different setting.
constexpr float kTolerance = 0.01f;

// Compared in single precision, as stored; a difference that is not a number passes.
bool differs(float lhs, float rhs) {
    return std::fabs(lhs - rhs) > kTolerance;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::optional<std::vector<std::string>> nilIfEmpty(std::vector<std::string> texts) {
    if (texts.empty()) {
        return std::nullopt;
    }
    return texts;
}

std::optional<std::string> checkCurrency(const OrbProject& project, const Profile& profile) {
    if (lx::isCaseInsensitiveSame(project.currency(), profile.currency)) {
        return std::nullopt;
    }
    return "Currency " + quoted(project.currency()) +
           " in this project is not the same as the value (" + quoted(profile.currency) +
           ") of other projects";
}

std::optional<std::string> checkDailyWorkingHours(const OrbProject& project,
                                                  const Profile& profile) {
    if (!differs(profile.dailyWorkingHours, project.dailyWorkingHours())) {
        return std::nullopt;
    }
    return "Dialy working hours of this project is " +
           quoted(lx::toString(project.dailyWorkingHours())) +
           ", which is not the same as the value (" +
           quoted(lx::toString(profile.dailyWorkingHours)) + ") of other projects";
}

// The first profile member of the trimmed name, compared with the first member merged into it;
// people the profile does not know yet are welcome with any rate.
std::optional<std::string> checkMemberCostRate(const OrbProjectMember& member,
                                               const Profile& profile,
                                               const MemberNameIndex& knownMembers) {
    const auto known = knownMembers.firstMatch(lx::trimmed(member.name()));
    if (!known || profile.members[*known].sources.empty()) {
        return std::nullopt;
    }
    const OrbProjectMember& other = *profile.members[*known].sources.front().member;
    if (!differs(member.costRate(), other.costRate())) {
        return std::nullopt;
    }
    return "Member " + quoted(member.name()) + " - the cost rate " +
           quoted(lx::toString(member.costRate())) +
           " in this project is not the same as the value (" +
           quoted(lx::toString(other.costRate())) + ") of other projects";
}

std::vector<std::string> checkMembers(const OrbProject& project, const Profile& profile) {
    const MemberNameIndex knownMembers(profile.members);
    std::vector<std::string> problems;
    for (const auto& member : project.team()->members()) {
        if (auto problem = checkMemberCostRate(*member, profile, knownMembers)) {
            problems.push_back(std::move(*problem));
        }
    }
    return problems;
}

bool isWithin(platform::Date date, platform::Date start, platform::Date finish) {
    return start <= date && date <= finish;
}

std::string dateText(platform::Date date) {
    return lx::toString(date, lx::DateStyle::medium, lx::DateStyle::none, false);
}

// Both kinds of day are named by the new project's own calendar.
std::string dayKind(OrbProjectCalendar& calendar, platform::Date date) {
    return calendar.isWorkingDay(date) ? "working day" : "non-working day";
}

// An exception day of the new project inside the profile's range that the profile lacks.
void checkSourceExceptionDay(platform::Date day, const Profile& profile,
                             OrbProjectCalendar& calendar, std::vector<std::string>& problems) {
    if (isWithin(day, profile.start, profile.finish) &&
        !containsSameDay(profile.calendarExceptions, day)) {
        problems.push_back(quoted(dateText(day)) + " is a " + dayKind(calendar, day) +
                           " in this project, which is not the same as in other projects");
    }
}

// An exception day of the profile inside the new project's range that the project lacks.
void checkProfileExceptionDay(platform::Date day, const OrbProjectTask& root,
                              const std::vector<platform::Date>& projectDays,
                              OrbProjectCalendar& calendar, std::vector<std::string>& problems) {
    if (isWithin(day, root.start(), root.finish()) && !containsSameDay(projectDays, day)) {
        problems.push_back(quoted(dateText(day)) + " is a " + dayKind(calendar, day) +
                           ", which is not the same as in other projects");
    }
}

std::vector<std::string> checkCalendar(const OrbProject& project, const Profile& profile) {
    OrbProjectCalendar& calendar = *project.calendar();
    const std::vector<platform::Date> projectDays = calendar.exceptions();
    std::vector<std::string> problems;
    for (const platform::Date day : projectDays) {
        checkSourceExceptionDay(day, profile, calendar, problems);
    }
    for (const platform::Date day : profile.calendarExceptions) {
        checkProfileExceptionDay(day, *project.root(), projectDays, calendar, problems);
    }
    return problems;
}

std::optional<std::string> checkDatePolicy(const OrbProject& project, const Profile& profile) {
    const bool onlyWorkingDays = project.onlyWorkingDayTaskSchedule();
    if (profile.onlyScheduleTasksAtWorkingDays == onlyWorkingDays) {
        return std::nullopt;
    }
    if (profile.onlyScheduleTasksAtWorkingDays) {
        return "This project allows to schedule task at all the days, other projects only allow "
               "to schedule task at working days";
    }
    return "This project only allows to schedule task at working days, other projects allow to "
           "schedule task at all the days";
}

std::optional<std::string> checkLinkType(const OrbProject& project, const Profile& profile) {
    if (profile.taskLinkType == project.taskLinkType()) {
        return std::nullopt;
    }
    return "The task link type in this project is not the same as of other projects";
}

}  // namespace

// The profile is read once, as a snapshot: this runs on a background queue while the main
// thread may replace the profile, and one check must not see two different profiles.
CombineManager::SourceResult CombineManager::validateSourceProject(
    const CombineSource::Project& project) const {
    const std::shared_ptr<const Profile> profile = output_->snapshot();
    if (!profile) {
        return SourceResult::success(project);
    }
    const OrbProject& orbProject = *project.orbProject;
    ValidationResult problems{
        .currency = checkCurrency(orbProject, *profile),
        .dialyWorkingHours = checkDailyWorkingHours(orbProject, *profile),
        .resources = nilIfEmpty(checkMembers(orbProject, *profile)),
        .calendars = nilIfEmpty(checkCalendar(orbProject, *profile)),
        .datePolicy = checkDatePolicy(orbProject, *profile),
        .linkType = checkLinkType(orbProject, *profile),
    };
    if (problems.isEmpty()) {
        return SourceResult::success(project);
    }
    return SourceResult::failure(CombineSource::SourceError::validating(std::move(problems)));
}
