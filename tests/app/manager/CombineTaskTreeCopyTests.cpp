#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "app/manager/CombineFixture.h"
#include "support/LogCapture.h"

namespace {

using Ids = std::vector<std::int64_t>;
using Names = std::vector<std::string>;

class CombineTaskTreeTest : public CombineFixture {
protected:
    // Three sources of 5, 3 and 4 tasks, roots included.
    void acceptThreeSources() {
        auto alpha = project("Alpha", "Alpha root");
        const auto a1 = task(*alpha, alpha->root(), 1, "a1");
        task(*alpha, a1, 2, "a2");
        task(*alpha, a1, 3, "a3");
        task(*alpha, alpha->root(), 4, "a4");
        auto beta = project("Beta", "Beta root");
        task(*beta, beta->root(), 1, "b1");
        task(*beta, beta->root(), 2, "b2");
        auto gamma = project("Gamma", "Gamma root");
        const auto c1 = task(*gamma, gamma->root(), 1, "c1");
        const auto c2 = task(*gamma, c1, 2, "c2");
        task(*gamma, c2, 3, "c3");
        for (const auto& source : {alpha, beta, gamma}) {
            accept(source);
        }
    }

    static Ids predecessorIds(const OrbProject& project, const std::string& name) {
        return idsOf(named(project, name)->links().predecessors());
    }

    static Ids successorIds(const OrbProject& project, const std::string& name) {
        return idsOf(named(project, name)->links().successors());
    }

    // The ids of one side's linked tasks, in order; none when the side is empty.
    static Ids idsOf(const OrbLinkCollection* side) {
        Ids ids;
        if (side) {
            for (const TaskPtr& task : side->links().value_or(OrbProjectTask::Childs{})) {
                ids.push_back(task->id());
            }
        }
        return ids;
    }
};

TEST_F(CombineTaskTreeTest, IdsRunOnAcrossSourcesAndTheLayoutPlacesTheCopies) {
    acceptThreeSources();
    struct Case {
        Layout layout;
        Ids rootChildren;
        Ids tree;
    };
    const std::vector<Case> cases = {
        // The roots' copies (1, 6 and 9) are dropped.
        {Layout::direct, {2, 5, 7, 8, 10}, {2, 3, 4, 5, 7, 8, 10, 11, 12}},
        {Layout::group, {1, 6, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {Layout::subProject, {1, 6, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(static_cast<int>(row.layout));
        const auto result = combined(row.layout);
        EXPECT_EQ(projecttest::childIdsOf(result->root()), row.rootChildren);
        EXPECT_EQ(treeIds(result->root()), row.tree);
        EXPECT_EQ(result->taskCount(), static_cast<std::int64_t>(row.tree.size()));
        for (const std::int64_t id : row.tree) {
            const auto found = result->findTask(id);
            ASSERT_TRUE(found);
            EXPECT_EQ(found->id(), id);
        }
        EXPECT_EQ(result->findTask(11)->name(), "c2");
    }
}

TEST_F(CombineTaskTreeTest, EachSourceRootBecomesOneGroupOrSubProjectTask) {
    auto unnamed = project("Unnamed project");
    task(*unnamed, unnamed->root(), 1, "u1");
    auto blank = project("Blank project", "  ");
    task(*blank, blank->root(), 1, "v1");
    auto empty = project("Empty project", "Empty root");
    for (const auto& source : {unnamed, blank, empty}) {
        accept(source);
    }
    struct Case {
        Layout layout;
        Names rootChildren;
        std::vector<OrbProjectTaskType> types;
    };
    const std::vector<Case> cases = {
        // The childless source root stands for nothing here.
        {Layout::direct,
         {"u1", "v1"},
         {OrbProjectTaskType::singleTask, OrbProjectTaskType::singleTask}},
        // An empty root name gives the project's name; a blank one is kept.
        {Layout::group,
         {"Unnamed project", "  ", "Empty root"},
         {OrbProjectTaskType::groupTask, OrbProjectTaskType::groupTask,
          OrbProjectTaskType::singleTask}},
        {Layout::subProject,
         {"Unnamed project", "  ", "Empty root"},
         {OrbProjectTaskType::subProjectTask, OrbProjectTaskType::subProjectTask,
          OrbProjectTaskType::subProjectTask}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(static_cast<int>(row.layout));
        const auto result = combined(row.layout);
        EXPECT_EQ(childNames(result->root()), row.rootChildren);
        std::vector<OrbProjectTaskType> types;
        for (const TaskPtr& child : *result->root()->childs()) {
            types.push_back(child->type());
        }
        EXPECT_EQ(types, row.types);
    }
}

TEST_F(CombineTaskTreeTest, CopiesKeepTheShownDatesAndPropertiesButNoNotes) {
    auto source = project("Alpha");
    const auto group = task(*source, source->root(), 1, "Group");
    const auto first = task(*source, group, 2, "First", 1);
    task(*source, group, 3, "Second", 3);
    const auto milestone = task(*source, source->root(), 4, "Gate", 4);
    milestone->setTaskType(OrbProjectTaskType::milestone);
    first->setCompletedPercentage(40);
    first->setIcon(7);
    first->setColor(5);
    first->setWork(OrbTaskWork::fixAmount(12.0f));
    first->setUrl1(TaskUrl::make("Spec", "https://example.org/a"));
    first->setNotes("private");
    accept(source);

    const auto result = combined(Layout::direct);

    const auto groupCopy = named(*result, "Group");
    EXPECT_EQ(groupCopy->start(), group->start());
    EXPECT_EQ(groupCopy->finish(), group->finish());
    const auto gateCopy = named(*result, "Gate");
    EXPECT_EQ(gateCopy->type(), OrbProjectTaskType::milestone);
    EXPECT_EQ(gateCopy->start(), milestone->start());
    EXPECT_EQ(gateCopy->finish(), milestone->finish());
    const auto firstCopy = named(*result, "First");
    EXPECT_EQ(firstCopy->completePercentage(), 40);
    EXPECT_EQ(firstCopy->iconIndex(), 7);
    EXPECT_EQ(firstCopy->colorIndex(), 5);
    EXPECT_EQ(firstCopy->work(), 12.0f);
    EXPECT_EQ(firstCopy->url1(), first->url1());
    EXPECT_FALSE(firstCopy->notes());
}

TEST_F(CombineTaskTreeTest, LinksAreRebuiltBetweenTheCopiesOfEachSource) {
    auto alpha = project("Alpha");
    const auto group = task(*alpha, alpha->root(), 1, "G1");
    const auto t1 = task(*alpha, group, 2, "T1");
    const auto t2 = task(*alpha, group, 3, "T2", 1);
    const auto t3 = task(*alpha, alpha->root(), 4, "T3", 2);
    t2->links().addPredecessor(t1);
    t3->links().addPredecessor(t2);
    t3->links().addPredecessor(t1);
    // Linked while it was a single task; as a group it takes no part in links.
    const auto lateGroup = task(*alpha, alpha->root(), 5, "G2", 3);
    lateGroup->links().addPredecessor(t3);
    task(*alpha, lateGroup, 6, "G2 child", 3);
    auto beta = project("Beta");
    const auto u1 = task(*beta, beta->root(), 1, "U1");
    const auto u2 = task(*beta, beta->root(), 2, "U2", 1);
    u2->links().addPredecessor(u1);
    accept(alpha);
    accept(beta);

    for (const Layout layout : {Layout::direct, Layout::group, Layout::subProject}) {
        SCOPED_TRACE(static_cast<int>(layout));
        const auto result = combined(layout);
        const auto idOf = [&](const std::string& name) { return named(*result, name)->id(); };
        EXPECT_EQ(predecessorIds(*result, "T2"), Ids{idOf("T1")});
        EXPECT_EQ(predecessorIds(*result, "T3"), (Ids{idOf("T2"), idOf("T1")}));
        EXPECT_EQ(predecessorIds(*result, "U2"), Ids{idOf("U1")});
        EXPECT_EQ(named(*result, "T1")->links().successorCount(), 2);
        EXPECT_TRUE(named(*result, "G2")->links().isEmpty());
        EXPECT_EQ(named(*result, "T3")->links().successorCount(), 0);
    }
}

// Sources of very different sizes one after another: each is copied whole with its links,
// whatever the one before it left in the lookup of copies.
TEST_F(CombineTaskTreeTest, SourcesOfAnySizeInTurnAreEachCopiedWhole) {
    const std::vector<std::int64_t> sizes{300, 3, 150, 40, 41, 100, 100, 100};
    for (std::size_t number = 0; number < sizes.size(); ++number) {
        auto source = project("Source " + std::to_string(number));
        TaskPtr previous;
        for (std::int64_t id = 1; id <= sizes[number]; ++id) {
            const TaskPtr made = task(*source, source->root(), id, "task");
            if (previous) {
                made->links().addPredecessor(previous);
            }
            previous = made;
        }
        accept(source);
    }

    const auto result = combined(Layout::group);
    Ids expectedTree;
    std::int64_t id = 1;
    for (std::size_t number = 0; number < sizes.size(); ++number) {
        SCOPED_TRACE(number);
        const std::int64_t rootId = id++;
        expectedTree.push_back(rootId);
        ASSERT_EQ(result->findTask(rootId)->childCount(), sizes[number]);
        for (std::int64_t index = 0; index < sizes[number]; ++index, ++id) {
            expectedTree.push_back(id);
            const Ids predecessors = index == 0 ? Ids{} : Ids{id - 1};
            const auto copy = result->findTask(id);
            ASSERT_TRUE(copy);
            EXPECT_EQ(idsOf(copy->links().predecessors()), predecessors) << id;
        }
    }
    EXPECT_EQ(treeIds(result->root()), expectedTree);
    EXPECT_EQ(result->taskCount(), static_cast<std::int64_t>(expectedTree.size()));
}

TEST_F(CombineTaskTreeTest, AssignmentsAndContactPersonsGoToTheMergedMembers) {
    auto alpha = project("Alpha");
    const auto ann = alpha->team()->add("Ann", std::nullopt, std::nullopt, 2.0f);
    const auto bob = alpha->team()->add("Bob");
    const auto t1 = task(*alpha, alpha->root(), 1, "T1");
    t1->resources().addOrUpdateResource(ann, 50);
    t1->resources().addOrUpdateResource(bob, 100);
    task(*alpha, alpha->root(), 2, "T2")->setContactor(bob);
    auto beta = project("Beta");
    const auto cy = beta->team()->add("Cy");
    // Both join Ann's entry: one combined member.
    const auto annUpper = beta->team()->add("ANN ", std::nullopt, std::nullopt, 2.0f);
    const auto annLower = beta->team()->add("ann", std::nullopt, std::nullopt, 2.0f);
    const auto u1 = task(*beta, beta->root(), 1, "U1");
    u1->resources().addOrUpdateResource(annUpper, 20);
    u1->resources().addOrUpdateResource(cy, 100);
    u1->resources().addOrUpdateResource(annLower, 70);
    u1->setContactor(annLower);
    accept(alpha);
    accept(beta);

    const auto result = combined(Layout::direct);

    using Assigned = std::vector<std::pair<std::int64_t, std::int64_t>>;
    const auto assigned = [&](const std::string& name) {
        Assigned pairs;
        for (const auto& assignment : named(*result, name)->resources().assignments()) {
            EXPECT_EQ(assignment->member(), result->team()->get(assignment->member()->id()));
            pairs.emplace_back(assignment->member()->id(), assignment->workload());
        }
        return pairs;
    };
    // Team: Ann 1, Bob 2, Cy 3.
    EXPECT_EQ(assigned("T1"), (Assigned{{1, 50}, {2, 100}}));
    EXPECT_EQ(assigned("U1"), (Assigned{{1, 70}, {3, 100}}));
    EXPECT_EQ(named(*result, "T2")->contactor(), result->team()->get(2));
    EXPECT_EQ(named(*result, "U1")->contactor(), result->team()->get(1));
}

TEST_F(CombineTaskTreeTest, AMemberOutsideTheTeamIsLeftOutWithOneWarningEach) {
    auto alpha = project("Alpha");
    const auto ann = alpha->team()->add("Ann");
    const auto stranger = OrbProjectMember::create(9, "Stranger");
    const auto t1 = task(*alpha, alpha->root(), 1, "T1");
    t1->resources().addOrUpdateResource(stranger, 40);
    t1->resources().addOrUpdateResource(ann, 60);
    t1->setContactor(stranger);
    accept(alpha);
    const LogCapture log;

    const auto result = combined(Layout::direct);

    const auto& assignments = named(*result, "T1")->resources().assignments();
    ASSERT_EQ(assignments.size(), 1u);
    EXPECT_EQ(assignments.front()->member()->name(), "Ann");
    EXPECT_FALSE(named(*result, "T1")->contactor());
    const std::string warning =
        "[🔔 warning] Copying task failed, as member \"Stranger\" is not existed in the new "
        "project";
    int warnings = 0;
    for (const std::string& line : log.lines()) {
        if (line.starts_with(warning)) {
            ++warnings;
            EXPECT_NE(line.find("(_copyTask(source:toTaskId:toProject:cache:))"),
                      std::string::npos);
        }
    }
    EXPECT_EQ(warnings, 2);
}

// A name read from a package cannot forge a log line nor reach the terminal as a control.
TEST_F(CombineTaskTreeTest, ANameInAWarningIsWrittenWithoutItsControls) {
    auto alpha = project("Alpha");
    const auto stranger =
        OrbProjectMember::create(9,
                                 "Mallory\n[\xF0\x9F\x94\xB4 error] forged\xC2\x9B"
                                 "2J");
    task(*alpha, alpha->root(), 1, "T1")->setContactor(stranger);
    accept(alpha);
    const LogCapture log;

    combined(Layout::direct);

    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines().front().starts_with(
        "[\xF0\x9F\x94\x94 warning] Copying task failed, as member "
        "\"Mallory\\x0A[\xF0\x9F\x94\xB4 error] forged\\xC2\\x9B2J\" is not existed"));
}

// Links to tasks further down the tree are made once every copy exists, and the order in which
// the links reach each task is the source's: here B comes before C among A's successors,
// although B's own links wait for D.
TEST_F(CombineTaskTreeTest, LinksToTasksFurtherDownKeepTheirOrder) {
    auto alpha = project("Alpha");
    const auto a = task(*alpha, alpha->root(), 1, "A");
    const auto group = task(*alpha, alpha->root(), 2, "G");
    const auto b = task(*alpha, group, 3, "B", 1);
    const auto c = task(*alpha, group, 4, "C", 1);
    const auto d = task(*alpha, alpha->root(), 5, "D", 2);
    b->links().addPredecessor(d);
    b->links().addPredecessor(a);
    c->links().addPredecessor(a);
    d->links().addPredecessor(a);
    accept(alpha);

    for (const Layout layout : {Layout::direct, Layout::group, Layout::subProject}) {
        SCOPED_TRACE(static_cast<int>(layout));
        const auto result = combined(layout);
        const auto idOf = [&](const std::string& name) { return named(*result, name)->id(); };
        EXPECT_EQ(predecessorIds(*result, "B"), (Ids{idOf("D"), idOf("A")}));
        EXPECT_EQ(predecessorIds(*result, "C"), Ids{idOf("A")});
        EXPECT_EQ(predecessorIds(*result, "D"), Ids{idOf("A")});
        EXPECT_EQ(successorIds(*result, "A"), (Ids{idOf("B"), idOf("C"), idOf("D")}));
        EXPECT_EQ(successorIds(*result, "D"), Ids{idOf("B")});
    }
}

// A task held in two child lists is copied once, at its first place, with what is below it;
// its second place is left out with a warning for it and for each task below it.
TEST_F(CombineTaskTreeTest, ATaskInTwoChildListsIsCopiedOnceAtItsFirstPlace) {
    auto alpha = project("Alpha");
    const auto first = task(*alpha, alpha->root(), 1, "First");
    const auto second = task(*alpha, alpha->root(), 2, "Second");
    const auto shared = task(*alpha, first, 3, "Shared");
    task(*alpha, shared, 4, "Below");
    const auto after = task(*alpha, second, 5, "After");
    ASSERT_TRUE(second->addChild(shared));
    after->links().addPredecessor(shared);
    accept(alpha);
    const LogCapture log;

    const auto result = combined(Layout::group);

    EXPECT_EQ(childNames(named(*result, "First")), Names{"Shared"});
    EXPECT_EQ(childNames(named(*result, "Second")), Names{"After"});
    EXPECT_EQ(childNames(named(*result, "Shared")), Names{"Below"});
    EXPECT_EQ(treeIds(result->root()), (Ids{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(result->taskCount(), 6);
    EXPECT_EQ(predecessorIds(*result, "After"), Ids{named(*result, "Shared")->id()});
    const Names warnings = {
        "[🔔 warning] Clone incorrect, as task \"Second\" or \"Shared\" not be cloned",
        "[🔔 warning] Clone incorrect, as task \"Shared\" or \"Below\" not be cloned"};
    Names logged;
    for (const std::string& line : log.lines()) {
        logged.push_back(line.substr(0, line.find(" \t")));
    }
    EXPECT_EQ(logged, warnings);
}

// Under `direct` the source's top-level tasks go straight under the combined root; a task held
// there and below another task still keeps only its first place, whichever of the two it is:
// "Early" is met at the top level first, "Late" below "A" first.
TEST_F(CombineTaskTreeTest, ATopLevelTaskHeldTwiceKeepsItsFirstPlaceUnderDirect) {
    auto alpha = project("Alpha");
    const auto a = task(*alpha, alpha->root(), 1, "A");
    const auto late = task(*alpha, a, 2, "Late");
    task(*alpha, late, 3, "Below late");
    const auto early = task(*alpha, alpha->root(), 4, "Early");
    task(*alpha, early, 5, "Below early");
    const auto b = task(*alpha, alpha->root(), 6, "B");
    ASSERT_TRUE(b->addChild(early));
    ASSERT_TRUE(alpha->root()->addChild(late));
    accept(alpha);
    const LogCapture log;

    const auto result = combined(Layout::direct);

    EXPECT_EQ(childNames(result->root()), (Names{"A", "Early", "B"}));
    EXPECT_EQ(childNames(named(*result, "A")), Names{"Late"});
    EXPECT_EQ(childNames(named(*result, "B")), Names{});
    EXPECT_EQ(childNames(named(*result, "Late")), Names{"Below late"});
    EXPECT_EQ(childNames(named(*result, "Early")), Names{"Below early"});
    EXPECT_EQ(result->taskCount(), 6);
    // One for each second place and one for each task below it.
    EXPECT_EQ(log.lines().size(), 4u);
}

// A package may repeat a task id; every task is still copied once, in its place.
TEST_F(CombineTaskTreeTest, RepeatedSourceIdsCopyEveryTaskOnce) {
    auto alpha = project("Alpha");
    const auto a = task(*alpha, alpha->root(), 5, "A");
    const auto b = task(*alpha, a, 7, "B");
    const auto c = task(*alpha, b, 5, "C");
    const auto d = task(*alpha, alpha->root(), 7, "D", 1);
    d->links().addPredecessor(c);
    accept(alpha);
    const LogCapture log;

    for (const Layout layout : {Layout::direct, Layout::group}) {
        SCOPED_TRACE(static_cast<int>(layout));
        const auto result = combined(layout);
        const auto top = layout == Layout::direct ? result->root() : result->root()->firstChild();
        EXPECT_EQ(childNames(top), (Names{"A", "D"}));
        EXPECT_EQ(childNames(named(*result, "A")), Names{"B"});
        EXPECT_EQ(childNames(named(*result, "B")), Names{"C"});
        EXPECT_EQ(predecessorIds(*result, "D"), Ids{named(*result, "C")->id()});
    }
    EXPECT_TRUE(log.lines().empty());
}

// The copies are looked up by source task; a registry that counts far fewer tasks than the tree
// holds (every id repeated) must still find every one of them.
TEST_F(CombineTaskTreeTest, ASourceWhoseIdsAllRepeatIsCopiedWhole) {
    constexpr int kTasks = 300;
    auto alpha = project("Alpha");
    Names names;
    TaskPtr previous;
    for (int number = 0; number < kTasks; ++number) {
        names.push_back("t" + std::to_string(number));
        const auto made = task(*alpha, alpha->root(), 1, names.back(), number % 5);
        if (previous) {
            made->links().addPredecessor(previous);
        }
        previous = made;
    }
    ASSERT_LE(alpha->taskCount(), 2);
    accept(alpha);

    const auto result = combined(Layout::direct);
    EXPECT_EQ(childNames(result->root()), names);
    EXPECT_EQ(result->taskCount(), kTasks);
    for (int number = 1; number < kTasks; ++number) {
        const std::string name = "t" + std::to_string(number);
        SCOPED_TRACE(name);
        EXPECT_EQ(predecessorIds(*result, name),
                  Ids{named(*result, "t" + std::to_string(number - 1))->id()});
    }
}

}  // namespace
