#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "app/manager/CombineOutput.h"
#include "app/manager/CombineSource.h"
#include "folder/LxFolder.h"
#include "platform/foundation/Date.h"

// Source projects for the engine's tests, described by the settings the engine compares.
namespace combinetest {

using platform::Date;
using projecttest::local;

struct Person {
    std::string name;
    float costRate = 1.0f;
};

struct SourceSettings {
    std::string currency = "EUR";
    float dailyWorkingHours = 8.0f;
    std::vector<Person> team = {};
    // Stored as given (the day map is rebuilt, so the calendar's day status counts them).
    std::vector<Date> exceptionDays = {};
    bool onlyWorkingDays = false;
    OrbTaskLinkType linkType = OrbTaskLinkType::finishToStart;
    // The root's derived dates: Monday 2024-05-06 up to (excluded) Saturday 2024-05-11.
    Date start = local(2024, 5, 6);
    Date finish = local(2024, 5, 11);
    // Nested group tasks below the root, the innermost holding the dates; 0: a root without
    // children, which runs today.
    std::int64_t depth = 1;
    // A sub-project task beside them, holding one task of the same dates.
    bool subProject = false;
};

inline std::shared_ptr<OrbProject> makeProject(const SourceSettings& settings) {
    auto project = OrbProject::create("source-uid", "Source");
    project->setCurrency(settings.currency);
    project->setDailyWorkingHours(settings.dailyWorkingHours);
    project->setOnlyWorkingDayTaskSchedule(settings.onlyWorkingDays);
    project->setTaskLinkType(settings.linkType);
    for (const Person& person : settings.team) {
        project->team()->add(person.name, std::nullopt, std::nullopt, person.costRate);
    }
    auto calendar = OrbProjectCalendar::create(settings.start, settings.finish, "");
    calendar->setDayExceptions(settings.exceptionDays);
    project->initializeCalendar(calendar);

    std::int64_t nextId = 1;
    auto parent = project->root();
    for (std::int64_t level = 1; level <= settings.depth; ++level) {
        parent = project->createChild(parent, nextId++, settings.start, settings.finish);
    }
    if (settings.subProject) {
        auto sub = project->createChild(project->root(), nextId++, settings.start, settings.finish);
        sub->setTaskType(OrbProjectTaskType::subProjectTask);
        project->createChild(sub, nextId++, settings.start, settings.finish);
    }
    return project;
}

inline CombineSource::Project makeSource(const SourceSettings& settings, std::int64_t index = 0) {
    return CombineSource::Project{index, "/drops/source.orb", makeProject(settings),
                                  LxFolder("/tmp/work", false)};
}

// The profile made from the first source and merged with the others, in order.
inline CombineOutput::Profile profileOf(const std::vector<SourceSettings>& accepted) {
    auto profile = CombineOutput::Profile::makeOutputProfile(makeSource(accepted.front(), 0));
    for (std::size_t index = 1; index < accepted.size(); ++index) {
        profile = profile.merged(makeSource(accepted[index], static_cast<std::int64_t>(index)));
    }
    return profile;
}

// The entries of a merged team as name: number of sources.
inline std::vector<std::pair<std::string, std::size_t>> teamShape(
    const CombineOutput::Profile& profile) {
    std::vector<std::pair<std::string, std::size_t>> shape;
    for (const auto& member : profile.members) {
        shape.emplace_back(member.name, member.sources.size());
    }
    return shape;
}

}  // namespace combinetest
