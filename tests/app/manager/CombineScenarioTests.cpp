#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "app/manager/EngineDrops.h"
#include "app/manager/FakeDocuments.h"
#include "support/DispatchTest.h"
#include "support/LogCapture.h"
#include "utility/LxTreeNode.h"

namespace {

using projecttest::local;
using Layout = CombineOutput::SourceProjectLayoutOption;
using TaskPtr = OrbProjectTask::Ptr;
using Ids = std::vector<std::int64_t>;
using Names = std::vector<std::string>;

const std::string kAlpha = "/drops/alpha.orb";
const std::string kBeta = "/drops/beta.orb";

TaskPtr addTask(OrbProject& project, const TaskPtr& parent, std::int64_t id,
                const std::string& name, platform::Date start) {
    auto task = projecttest::addTask(project, parent, id, start, 1);
    task->setName(name);
    return task;
}

void setExceptionDay(OrbProject& project, platform::Date day) {
    const auto& root = project.root();
    auto calendar = OrbProjectCalendar::create(root->start(), root->finish(), "");
    calendar->setDayExceptions({day});
    project.initializeCalendar(calendar);
}

// Ann (photo, rate 2) and Bob; G1 holding T1 and T2, then T3 and the milestone M, in the week
// from Monday 2024-05-06; T1 before T2 before T3.
std::shared_ptr<OrbProject> alphaProject() {
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
std::shared_ptr<OrbProject> betaProject() {
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

// Two packages dropped one after the other and combined on a background thread, as the
// application does it.
class CombineScenarioTest : public DispatchTest {
protected:
    void SetUp() override {
        DispatchTest::SetUp();
        documents->add(kAlpha, alphaProject);
        documents->add(kBeta, betaProject);
    }

    void drop(const std::string& package) { drops.drop(package); }

    std::shared_ptr<const OrbProject> combineInBackground() {
        const std::optional<LxFile> package = drops.combineOnWorker();
        EXPECT_TRUE(package);
        return package ? documents->saved().back() : nullptr;
    }

    static TaskPtr named(const OrbProject& project, const std::string& name) {
        return lx::treeSearch(project.root(),
                              [&](const TaskPtr& task) { return task->name() == name; });
    }

    static Ids predecessorIds(const TaskPtr& task) {
        Ids ids;
        if (const auto predecessors = task->links().predecessors()) {
            for (const auto& predecessor :
                 predecessors->links().value_or(OrbProjectTask::Childs{})) {
                ids.push_back(predecessor->id());
            }
        }
        return ids;
    }

    std::shared_ptr<FakeDocuments> documents = std::make_shared<FakeDocuments>();
    const AppEvents events;
    std::shared_ptr<CombineManager> engine = CombineManager::create(events, documents);
    EngineDrops drops{events, engine};
};

TEST_F(CombineScenarioTest, TwoDroppedSourcesCombineIntoOneProjectByEachLayout) {
    drop(kAlpha);
    drop(kBeta);
    ASSERT_EQ(engine->source()->projects().size(), 2u);
    engine->output()->setProjectName("X");

    struct Case {
        Layout layout;
        Names rootChildren;
        Ids rootChildIds;
    };
    const std::vector<Case> cases = {
        {Layout::direct, {"G1", "T3", "M", "U1", "U2"}, {2, 5, 6, 8, 9}},
        {Layout::group, {"Alpha root", "Beta"}, {1, 7}},
        {Layout::subProject, {"Alpha root", "Beta"}, {1, 7}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(static_cast<int>(row.layout));
        engine->output()->setSourceProjectLayoutOption(row.layout);
        const auto result = combineInBackground();
        ASSERT_TRUE(result);

        Names names;
        for (const TaskPtr& child : *result->root()->childs()) {
            names.push_back(child->name());
        }
        EXPECT_EQ(names, row.rootChildren);
        EXPECT_EQ(projecttest::childIdsOf(result->root()), row.rootChildIds);
        EXPECT_EQ(result->name(), "X");
        EXPECT_EQ(result->notes(), "");

        const auto team = result->team()->members();
        ASSERT_EQ(team.size(), 3u);
        EXPECT_EQ(team[0]->name(), "Ann");
        EXPECT_EQ(team[0]->photoid(), "pB");
        EXPECT_EQ(team[0]->email(), "ann@beta.example");
        EXPECT_EQ(team[0]->costRate(), 2.0f);
        EXPECT_EQ(team[1]->name(), "Bob");
        EXPECT_EQ(team[2]->name(), "Cy");

        const auto idOf = [&](const std::string& name) { return named(*result, name)->id(); };
        EXPECT_EQ(predecessorIds(named(*result, "T2")), Ids{idOf("T1")});
        EXPECT_EQ(predecessorIds(named(*result, "T3")), Ids{idOf("T2")});
        EXPECT_EQ(predecessorIds(named(*result, "U2")), Ids{idOf("U1")});
        const auto workloadOf = [&](const std::string& name) {
            std::vector<std::pair<std::int64_t, std::int64_t>> pairs;
            for (const auto& assignment : named(*result, name)->resources().assignments()) {
                EXPECT_EQ(assignment->member(), result->team()->get(assignment->member()->id()));
                pairs.emplace_back(assignment->member()->id(), assignment->workload());
            }
            return pairs;
        };
        EXPECT_EQ(workloadOf("T1"), (std::vector<std::pair<std::int64_t, std::int64_t>>{{1, 50}}));
        EXPECT_EQ(workloadOf("T2"), (std::vector<std::pair<std::int64_t, std::int64_t>>{{2, 100}}));
        EXPECT_EQ(workloadOf("U1"),
                  (std::vector<std::pair<std::int64_t, std::int64_t>>{{1, 40}, {3, 60}}));
        EXPECT_EQ(named(*result, "T3")->contactor(), team[0]);
        EXPECT_EQ(named(*result, "M")->type(), OrbProjectTaskType::milestone);
        EXPECT_EQ(named(*result, "M")->finish(), local(2024, 5, 11));

        EXPECT_EQ(result->calendar()->exceptions(),
                  (std::vector<platform::Date>{local(2024, 5, 9), local(2024, 6, 5)}));
        // Ids are fresh and unique across both sources.
        Ids ids;
        lx::treeNavigate(result->root(),
                         [&ids](const TaskPtr& task) { ids.push_back(task->id()); });
        std::ranges::sort(ids);
        EXPECT_EQ(std::ranges::adjacent_find(ids), ids.end());
        EXPECT_EQ(static_cast<std::int64_t>(ids.size()), result->taskCount());
    }
}

// A package that cannot be opened leaves the sources as they were, and they still combine.
TEST_F(CombineScenarioTest, AFailedDropLeavesTheEarlierSourcesToCombine) {
    drop(kAlpha);
    const LogCapture log;
    drop("/drops/not-a-package.txt");

    ASSERT_EQ(engine->source()->projects().size(), 1u);
    const auto result = combineInBackground();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->team()->members().size(), 2u);
    EXPECT_TRUE(named(*result, "T3"));
}

}  // namespace
