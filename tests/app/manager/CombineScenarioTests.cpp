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
#include "app/manager/ScenarioProjects.h"
#include "support/DispatchTest.h"
#include "support/LogCapture.h"
#include "utility/LxTreeNode.h"

namespace {

using projecttest::local;
using namespace scenario_projects;
using Layout = CombineOutput::SourceProjectLayoutOption;
using TaskPtr = OrbProjectTask::Ptr;
using Ids = std::vector<std::int64_t>;
using Names = std::vector<std::string>;

const std::string kAlpha = "/drops/alpha.orb";
const std::string kBeta = "/drops/beta.orb";

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
