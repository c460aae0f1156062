#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"

namespace {

using namespace projecttest;
using Pairs = std::vector<std::pair<std::int64_t, std::int64_t>>;
using Ids = std::vector<std::int64_t>;

class OrbTaskLinksTest : public testing::Test {
protected:
    TaskPtr task(std::int64_t id) { return addTask(*project, project->root(), id, monday(), 1); }

    static Ids predecessorsOf(const TaskPtr& task) {
        const auto* side = task->links().predecessors();
        return side ? idsOf(*side->links()) : Ids{};
    }

    static Ids successorsOf(const TaskPtr& task) {
        const auto* side = task->links().successors();
        return side ? idsOf(*side->links()) : Ids{};
    }

    // Calls of a walk as (task, linked task) id pairs.
    static OrbLinkAction recordInto(Pairs& calls) {
        return [&calls](const TaskPtr& node, const TaskPtr& linked) {
            calls.emplace_back(node->id(), linked->id());
        };
    }

    const std::shared_ptr<OrbProject> project = makeProject();
    const TaskPtr a = task(1);
    const TaskPtr b = task(2);
    const TaskPtr c = task(3);
};

TEST_F(OrbTaskLinksTest, LinkIsRecordedOnBothTasksOnce) {
    b->links().addPredecessor(a);
    b->links().addPredecessor(a);
    EXPECT_EQ(predecessorsOf(b), Ids{1});
    EXPECT_EQ(successorsOf(a), Ids{2});
    EXPECT_EQ(b->links().predecessorCount(), 1);
    EXPECT_EQ(a->links().successorCount(), 1);
    EXPECT_TRUE(b->links().hasDirectPredecessor(1));
    EXPECT_TRUE(a->links().hasDirectSuccessor(2));
    EXPECT_TRUE(a->links().hasDirectLinkWith(*b));
    EXPECT_FALSE(a->links().isEmpty());
    EXPECT_TRUE(a->links().isPredecessEmpty());
    EXPECT_EQ(a->getPredecessors(), nullptr);
    EXPECT_EQ(b->getPredecessors(), b->links().predecessors());
    EXPECT_TRUE(b->getPredecessors()->contains(*a));

    b->links().removePredecessor(*a);
    b->links().removePredecessor(*a);
    EXPECT_TRUE(a->links().isEmpty());
    EXPECT_TRUE(b->links().isEmpty());
    EXPECT_EQ(b->links().predecessors(), nullptr);
    EXPECT_EQ(b->links().directLinkedTasks(), std::nullopt);
}

TEST_F(OrbTaskLinksTest, LinksAreToldApartById) {
    b->links().addPredecessor(a);
    const auto sameId = OrbProjectTask::create(project, nullptr, 1, monday(), monday());
    EXPECT_TRUE(b->links().hasDirectLinkWith(*sameId));
    b->links().removePredecessor(*sameId);
    EXPECT_TRUE(b->links().isPredecessEmpty());
    // The other side was looked up through the given task, which holds no successor.
    EXPECT_EQ(successorsOf(a), Ids{2});
}

TEST_F(OrbTaskLinksTest, SelfLinkAndTwoWayLinksKeepNothingAlive) {
    std::weak_ptr<OrbProjectTask> self;
    std::weak_ptr<OrbProjectTask> pairA;
    {
        const auto single = OrbProjectTask::create(project, nullptr, 7, monday(), monday());
        single->links().addPredecessor(single);
        EXPECT_EQ(predecessorsOf(single), Ids{7});
        EXPECT_EQ(successorsOf(single), Ids{7});
        EXPECT_EQ(idsOf(*single->links().directLinkedTasks()), (Ids{7, 7}));
        self = single;

        const auto x = OrbProjectTask::create(project, nullptr, 8, monday(), monday());
        const auto y = OrbProjectTask::create(project, nullptr, 9, monday(), monday());
        x->links().addPredecessor(y);
        y->links().addPredecessor(x);
        pairA = x;
    }
    EXPECT_TRUE(self.expired());
    EXPECT_TRUE(pairA.expired());
}

TEST_F(OrbTaskLinksTest, LinkedTaskThatIsGoneDropsOut) {
    {
        const auto gone = OrbProjectTask::create(project, nullptr, 9, monday(), monday());
        b->links().addPredecessor(gone);
        b->links().addPredecessor(a);
    }
    EXPECT_EQ(predecessorsOf(b), Ids{1});
    EXPECT_EQ(b->links().predecessorCount(), 1);
    EXPECT_FALSE(b->links().hasDirectPredecessor(9));
}

// A group task takes no part in links while it has children; what it stored shows again once
// its last child is gone.
TEST_F(OrbTaskLinksTest, GroupTaskReadsAsUnlinked) {
    b->links().addPredecessor(a);
    c->links().addPredecessor(b);
    addTask(*project, b, 10, monday(), 1);

    const OrbTaskLinks& links = b->links();
    EXPECT_FALSE(b->allowLink());
    EXPECT_EQ(b->links().predecessors(), nullptr);
    EXPECT_EQ(b->links().successors(), nullptr);
    EXPECT_TRUE(links.isEmpty());
    EXPECT_EQ(links.predecessorCount(), 0);
    EXPECT_EQ(links.successorCount(), 0);
    EXPECT_EQ(links.directLinkedTasks(), std::nullopt);
    EXPECT_FALSE(links.hasDirectLinkWith(*a));
    EXPECT_FALSE(a->links().hasDirectLinkWith(*b));
    EXPECT_FALSE(links.hasDirectPredecessor(1));
    EXPECT_FALSE(c->links().hasPredeccessorLinkWith(*a));
    b->links().removePredecessor(*a);

    project->removeChildByRange(b, 0, 0);
    EXPECT_TRUE(b->allowLink());
    EXPECT_EQ(predecessorsOf(b), Ids{1});
    EXPECT_EQ(successorsOf(b), Ids{3});
    EXPECT_TRUE(c->links().hasPredeccessorLinkWith(*a));
}

TEST_F(OrbTaskLinksTest, ClearRemovesTheLinksWhoseOtherTaskMeetsTheCondition) {
    b->links().addPredecessor(a);
    c->links().addPredecessor(b);
    const auto d = task(4);
    d->links().addPredecessor(b);

    Ids conditionAsked;
    Ids removed;
    b->links().clear([&conditionAsked](const TaskPtr& t) {
        conditionAsked.push_back(t->id());
        return false;
    });
    EXPECT_EQ(conditionAsked, (Ids{1, 3, 4}));
    EXPECT_EQ(successorsOf(b), (Ids{3, 4}));

    b->links().clear([](const TaskPtr& t) { return t->id() != 4; },
                     [&removed](const TaskPtr& t) { removed.push_back(t->id()); },
                     [&removed](const TaskPtr& t) { removed.push_back(-t->id()); });
    EXPECT_EQ(removed, (Ids{1, -3}));
    EXPECT_EQ(predecessorsOf(b), Ids{});
    EXPECT_EQ(successorsOf(b), Ids{4});
    EXPECT_TRUE(a->links().isEmpty());
    EXPECT_TRUE(c->links().isEmpty());
}

TEST_F(OrbTaskLinksTest, RestoreBringsBackTheBackedUpLinksOnBothSides) {
    b->links().restore();
    EXPECT_TRUE(b->links().isEmpty());
    EXPECT_TRUE(b->links().isBackupEmpty());

    b->links().addPredecessor(a);
    c->links().addPredecessor(b);
    b->links().backup();
    b->links().removePredecessor(*a);
    const auto d = task(4);
    d->links().addPredecessor(b);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        b->links().restore();
        EXPECT_EQ(predecessorsOf(b), Ids{1});
        EXPECT_EQ(successorsOf(b), Ids{3});
        EXPECT_EQ(successorsOf(a), Ids{2});
        EXPECT_EQ(predecessorsOf(c), Ids{2});
        EXPECT_EQ(predecessorsOf(d), Ids{});
        EXPECT_FALSE(b->links().isBackupEmpty());
    }
}

TEST_F(OrbTaskLinksTest, WalksAlongAChain) {
    b->links().addPredecessor(a);
    c->links().addPredecessor(b);

    Pairs deepestFirst;
    c->links().navigatePredecessorTree(recordInto(deepestFirst));
    EXPECT_EQ(deepestFirst, (Pairs{{2, 1}, {3, 2}}));

    Pairs nearestFirst;
    c->links().predecessors()->navigate(recordInto(nearestFirst));
    EXPECT_EQ(nearestFirst, (Pairs{{3, 2}, {2, 1}}));

    Pairs successors;
    a->links().navigateSuccessorTree(recordInto(successors));
    EXPECT_EQ(successors, (Pairs{{2, 3}, {1, 2}}));
    successors.clear();
    a->links().successors()->navigate(recordInto(successors));
    EXPECT_EQ(successors, (Pairs{{1, 2}, {2, 3}}));

    EXPECT_TRUE(c->links().hasPredeccessorLinkWith(*a));
    EXPECT_FALSE(a->links().hasPredeccessorLinkWith(*c));
}

// Nothing refuses a cycle, and files with repeated ids make them easy: every walk ends, a task on
// the current path is reported but not entered again.
TEST_F(OrbTaskLinksTest, WalksEndOnCycles) {
    a->links().addPredecessor(b);
    b->links().addPredecessor(a);
    c->links().addPredecessor(c);

    EXPECT_TRUE(a->links().hasPredeccessorLinkWith(*b));
    EXPECT_TRUE(a->links().hasPredeccessorLinkWith(*a));
    EXPECT_FALSE(a->links().hasPredeccessorLinkWith(*c));

    Pairs calls;
    a->links().navigatePredecessorTree(recordInto(calls));
    EXPECT_EQ(calls, (Pairs{{2, 1}, {1, 2}}));
    calls.clear();
    a->links().predecessors()->navigate(recordInto(calls));
    EXPECT_EQ(calls, (Pairs{{1, 2}, {2, 1}}));
    calls.clear();
    c->links().navigateSuccessorTree(recordInto(calls));
    EXPECT_EQ(calls, (Pairs{{3, 3}}));
}

TEST_F(OrbTaskLinksTest, WalksVisitEveryPathAndReachVeryLongChains) {
    const auto d = task(4);
    b->links().addPredecessor(a);
    c->links().addPredecessor(a);
    d->links().addPredecessor(b);
    d->links().addPredecessor(c);
    Pairs calls;
    d->links().navigatePredecessorTree(recordInto(calls));
    EXPECT_EQ(calls, (Pairs{{2, 1}, {4, 2}, {3, 1}, {4, 3}}));

    constexpr std::int64_t kLength = 100000;
    TaskPtr previous = d;
    for (std::int64_t id = 100; id < 100 + kLength; ++id) {
        const auto next = task(id);
        next->links().addPredecessor(previous);
        previous = next;
    }
    EXPECT_TRUE(previous->links().hasPredeccessorLinkWith(*a));
    std::int64_t handled = 0;
    previous->links().navigatePredecessorTree(
        [&handled](const TaskPtr&, const TaskPtr&) { ++handled; });
    EXPECT_EQ(handled, kLength + 4);
}

}  // namespace
