#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "utility/LxTreeNode.h"

// Two source projects with a member in common, and what the tests read back from a combined
// project, for the tests that drop packages on an engine and combine them.
namespace scenario_projects {

using TaskPtr = OrbProjectTask::Ptr;
using projecttest::local;

inline TaskPtr addTask(OrbProject& project, const TaskPtr& parent, std::int64_t id,
                       const std::string& name, platform::Date start) {
    auto task = projecttest::addTask(project, parent, id, start, 1);
    task->setName(name);
    return task;
}

inline void setExceptionDay(OrbProject& project, platform::Date day) {
    const auto& root = project.root();
    auto calendar = OrbProjectCalendar::create(root->start(), root->finish(), "");
    calendar->setDayExceptions({day});
    project.initializeCalendar(calendar);
}

// Ann (photo, rate 2) and Bob; G1 holding T1 and T2, then T3 and the milestone M, in the week
// from Monday 2024-05-06; T1 before T2 before T3.
inline std::shared_ptr<OrbProject> alphaProject() {
    auto project = OrbProject::create("alpha-uid", "Alpha");
    project->root()->setName("Alpha root");
    const auto ann = project->team()->add("Ann", "pA", std::nullopt, 2.0f);
    const auto bob = project->team()->add("Bob");
    const auto g1 = addTask(*project, project->root(), 1, "G1", local(2024, 5, 6));
    const auto t1 = addTask(*project, g1, 2, "T1", local(2024, 5, 6));
    const auto t2 = addTask(*project, g1, 3, "T2", local(2024, 5, 7));
    const auto t3 = addTask(*project, project->root(), 4, "T3", local(2024, 5, 8));
    addTask(*project, project->root(), 5, "M", local(2024, 5, 10))
        ->setTaskType(OrbProjectTaskType::milestone);
    t2->links().addPredecessor(t1);
    t3->links().addPredecessor(t2);
    t1->resources().addOrUpdateResource(ann, 50);
    t2->resources().addOrUpdateResource(bob, 100);
    t3->setContactor(ann);
    setExceptionDay(*project, local(2024, 5, 9));
    return project;
}

// "ann " (the same person: mail, photo, rate 2) and Cy; U1 before U2, in June.
inline std::shared_ptr<OrbProject> betaProject() {
    auto project = OrbProject::create("beta-uid", "Beta");
    const auto ann = project->team()->add("ann ", "pB", "ann@beta.example", 2.0f);
    const auto cy = project->team()->add("Cy");
    const auto u1 = addTask(*project, project->root(), 1, "U1", local(2024, 6, 3));
    const auto u2 = addTask(*project, project->root(), 2, "U2", local(2024, 6, 4));
    u2->links().addPredecessor(u1);
    u1->resources().addOrUpdateResource(ann, 40);
    u1->resources().addOrUpdateResource(cy, 60);
    setExceptionDay(*project, local(2024, 6, 5));
    return project;
}

// The task of `project` with that name; null when there is none.
inline TaskPtr named(const OrbProject& project, const std::string& name) {
    return lx::treeSearch(project.root(),
                          [&](const TaskPtr& task) { return task->name() == name; });
}

inline std::vector<std::int64_t> predecessorIds(const TaskPtr& task) {
    std::vector<std::int64_t> ids;
    if (const auto predecessors = task->links().predecessors()) {
        for (const auto& predecessor : predecessors->links().value_or(OrbProjectTask::Childs{})) {
            ids.push_back(predecessor->id());
        }
    }
    return ids;
}

}  // namespace scenario_projects
