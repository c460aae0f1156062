#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Manager/ProjectWorkingFolder.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "app/manager/EngineDrops.h"
#include "app/manager/OrbinCombineDocuments.h"
#include "support/DispatchTest.h"
#include "support/FileTestHelpers.h"
#include "utility/LxTreeNode.h"

namespace {

namespace fs = std::filesystem;
using projecttest::local;
using TaskPtr = OrbProjectTask::Ptr;
using Workloads = std::vector<std::pair<std::string, std::int64_t>>;

const OrbinDocumentManager documents;

TaskPtr addTask(OrbProject& project, const TaskPtr& parent, std::int64_t id,
                const std::string& name, platform::Date start) {
    auto task = projecttest::addTask(project, parent, id, start, 1);
    task->setName(name);
    return task;
}

// Writes `project` as the package "<name>.orb" in the sandbox, with a photo for every member
// that names one; the photo's bytes name the package.
fs::path packageOf(const OrbProject& project, const std::string& name) {
    const LxFolder working(test_files::sandbox() / ("make-" + name), false);
    const OrbinDocumentManager::ProjectWorkingFolder places(working);
    working.createIfNotExist();
    places.photoFolder().createIfNotExist();
    for (const auto& member : project.team()->members()) {
        if (member->photoid()) {
            places.photoFile(*member->photoid()).write("photo of " + name);
        }
    }
    documents.saveProject(project, working);
    const fs::path package = test_files::sandbox() / (name + ".orb");
    documents.orbFile(project, working, LxFile(package));
    return package;
}

// Ann (photo) and Bob; G1 holding T1 and T2, then T3; T1 before T2 before T3.
fs::path alphaPackage() {
    auto project = OrbProject::create("alpha-uid", "Alpha");
    const auto ann = project->team()->add("Ann", "pA", std::nullopt, 2.0f);
    const auto bob = project->team()->add("Bob");
    const auto g1 = addTask(*project, project->root(), 1, "G1", local(2024, 5, 6));
    const auto t1 = addTask(*project, g1, 2, "T1", local(2024, 5, 6));
    const auto t2 = addTask(*project, g1, 3, "T2", local(2024, 5, 7));
    const auto t3 = addTask(*project, project->root(), 4, "T3", local(2024, 5, 8));
    t2->links().addPredecessor(t1);
    t3->links().addPredecessor(t2);
    t1->resources().addOrUpdateResource(ann, 50);
    t2->resources().addOrUpdateResource(bob, 100);
    return packageOf(*project, "alpha");
}

// "ann " (the same person as Ann, with another photo) and Cy; task ids that repeat Alpha's.
fs::path betaPackage() {
    auto project = OrbProject::create("beta-uid", "Beta");
    const auto ann = project->team()->add("ann ", "pB", std::nullopt, 2.0f);
    const auto cy = project->team()->add("Cy");
    const auto u1 = addTask(*project, project->root(), 1, "U1", local(2024, 6, 3));
    const auto u2 = addTask(*project, project->root(), 2, "U2", local(2024, 6, 4));
    u2->links().addPredecessor(u1);
    u1->resources().addOrUpdateResource(ann, 40);
    u1->resources().addOrUpdateResource(cy, 60);
    return packageOf(*project, "beta");
}

// Real packages, dropped, combined on a background thread and the result opened again: what the
// user gets from the application, end to end.
class CombinePackagesTest : public DispatchTest {
protected:
    static TaskPtr named(const OrbProject& project, const std::string& name) {
        return lx::treeSearch(project.root(),
                              [&](const TaskPtr& task) { return task->name() == name; });
    }

    static std::vector<std::string> predecessorNames(const TaskPtr& task) {
        std::vector<std::string> names;
        if (const auto predecessors = task->links().predecessors()) {
            for (const auto& predecessor :
                 predecessors->links().value_or(OrbProjectTask::Childs{})) {
                names.push_back(predecessor->name());
            }
        }
        return names;
    }

    static Workloads workloadsOf(const TaskPtr& task) {
        Workloads workloads;
        for (const auto& assignment : task->resources().assignments()) {
            workloads.emplace_back(assignment->member()->name(), assignment->workload());
        }
        return workloads;
    }

    const AppEvents events;
    std::shared_ptr<CombineManager> engine =
        CombineManager::create(events, std::make_shared<const OrbinCombineDocuments>());
    EngineDrops drops{events, engine};
};

TEST_F(CombinePackagesTest, TwoPackagesCombineIntoOneThatOpensAgain) {
    drops.drop(alphaPackage());
    drops.drop(betaPackage());
    ASSERT_EQ(engine->source()->projects().size(), 2U);
    engine->output()->setProjectName("Both");
    engine->output()->setSourceProjectLayoutOption(
        CombineOutput::SourceProjectLayoutOption::subProject);

    const std::optional<LxFile> package = drops.combineOnWorker();
    ASSERT_TRUE(package);
    const LxFolder reopened(test_files::sandbox() / "reopened", false);
    reopened.createIfNotExist();
    const auto result = documents.load(*package, reopened);

    EXPECT_EQ(result->name(), "Both");
    // The root, a sub-project task per source, G1, T1, T2, T3, U1 and U2.
    EXPECT_EQ(result->taskCount(), 9);
    std::vector<std::int64_t> ids;
    lx::treeNavigate(result->root(), true,
                     [&ids](const TaskPtr& task) { ids.push_back(task->id()); });
    std::ranges::sort(ids);
    EXPECT_EQ(std::ranges::adjacent_find(ids), ids.end());
    EXPECT_EQ(ids.size(), 9U);

    EXPECT_EQ(predecessorNames(named(*result, "T2")), std::vector<std::string>{"T1"});
    EXPECT_EQ(predecessorNames(named(*result, "T3")), std::vector<std::string>{"T2"});
    EXPECT_EQ(predecessorNames(named(*result, "U2")), std::vector<std::string>{"U1"});

    const auto team = result->team()->members();
    ASSERT_EQ(team.size(), 3U);
    EXPECT_EQ(team[0]->name(), "Ann");
    EXPECT_EQ(team[0]->photoid(), "pB");
    EXPECT_EQ(workloadsOf(named(*result, "T1")), (Workloads{{"Ann", 50}}));
    EXPECT_EQ(workloadsOf(named(*result, "T2")), (Workloads{{"Bob", 100}}));
    EXPECT_EQ(workloadsOf(named(*result, "U1")), (Workloads{{"Ann", 40}, {"Cy", 60}}));
    EXPECT_EQ(test_files::contentOf(reopened.url() / "Photo" / "pB.jpg"), "photo of beta");
}

}  // namespace
