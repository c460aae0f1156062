#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "support/LogCapture.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using namespace projecttest;
using Categories = OrbProjectTask::Categories;
using Category = Categories::Category;
using Member = std::shared_ptr<OrbProjectMember>;

// Every group of properties a copy could change, and those it must never change, as text, so
// that two tasks compare group by group.
std::map<std::string, std::string> propertiesOf(const OrbProjectTask& task) {
    const auto text = [](const auto& value) { return testing::PrintToString(value); };
    const auto raw = [](const OrbTaskRawData& data) {
        return std::to_string(data.index) + "/" + testing::PrintToString(data.unit);
    };
    const auto url = [](const std::optional<TaskUrl>& value) {
        return value ? value->title().value_or("-") + " " + value->url() : "none";
    };
    std::string assignments;
    for (const auto& assignment : task.resources().assignments()) {
        assignments += std::to_string(assignment->member()->id()) + ":" +
                       std::to_string(assignment->workload()) + " ";
    }
    const auto& baseline = *task.dateBaseline();
    return {
        {"name", task.name()},
        {"type", text(task.innerType().rawValue())},
        {"start", text(task.start())},
        {"finish", text(task.finish())},
        {"percentage", text(task.completePercentage())},
        {"dateBaseline", text(baseline.start()) + text(baseline.finish())},
        {"assignment", assignments},
        {"work", raw(task.workData().raw())},
        {"workPercentage", text(task.workCompletePercentage())},
        {"laborCost", raw(task.costData().laborCost.raw())},
        {"materialsCost", text(task.costData().materialsCost)},
        {"contactor", task.contactor() ? std::to_string(task.contactor()->id()) : "none"},
        {"url1", url(task.url1())},
        {"url2", url(task.url2())},
        {"icon", text(task.iconIndex())},
        {"color", text(task.colorIndex())},
        {"id", text(task.id())},
        {"parent", text(static_cast<bool>(task.parent()))},
        {"childs", text(task.childCount())},
        {"links", text(task.links().predecessorCount())},
        {"notes", text(task.notes())},
        {"collapsed", text(task.collapsed())},
    };
}

std::set<std::string> changedBetween(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after) {
    std::set<std::string> changed;
    for (const auto& [key, value] : before) {
        if (after.at(key) != value) {
            changed.insert(key);
        }
    }
    return changed;
}

// A source task in one project and targets in another, each with a team of its own whose members
// carry the same ids.
class CopyingTest : public testing::Test {
protected:
    CopyingTest() {
        for (const auto& project : {source, target}) {
            project->team()->add("Ana");
            project->team()->add("Ben");
            project->team()->add("Cai");
        }
    }

    Member sourceMember(std::int64_t id) { return source->team()->get(id); }
    Member targetMember(std::int64_t id) { return target->team()->get(id); }

    TaskPtr blankTarget() {
        return OrbProjectTask::create(target, nullptr, 90, monday() + LxDays(14),
                                      monday() + LxDays(15));
    }

    // A childless project task (so that it keeps assignments and its kind differs from a new
    // task's) with every property set, one predecessor and notes.
    TaskPtr fullySetSource() {
        const auto task = addTask(*source, source->root(), 7, monday(), 5);
        const auto before = addTask(*source, source->root(), 6, monday() - LxDays(7), 2);
        task->setName("Survey");
        task->setTaskType(OrbProjectTaskType::subProjectTask);
        task->setCompletedPercentage(40);
        task->dateBaseline()->change(monday() + LxDays(1), monday() + LxDays(4));
        task->resources().addOrUpdateResource(sourceMember(1), 50);
        task->resources().addOrUpdateResource(sourceMember(2), 150);
        task->setWork(OrbTaskWork::fixDailyWork(3.0f));
        task->setWorkCompletedPercentage(60);
        task->setLaborCost(OrbTaskLaborCost::fix(120.0f));
        task->setMaterialsCost(30.0f);
        task->setContactor(sourceMember(3));
        task->setUrl1(TaskUrl::make("Plan", "https://example.org/plan"));
        task->setUrl2(TaskUrl::make(std::nullopt, "https://example.org/map"));
        task->setIcon(4);
        task->setColor(5);
        task->setNotes("keep out");
        task->collapse();
        task->links().addPredecessor(before);
        return task;
    }

    const std::shared_ptr<OrbProject> source = makeProject();
    const std::shared_ptr<OrbProject> target = makeProject();
};

TEST_F(CopyingTest, MemberwiseCategoriesKeepTheirOrderAndDefaultToEveryGroup) {
    using C = Categories;
    const C each[] = {
        C(false, true, true, true, true, true, true, true, true, true, true, true),
        C(true, false, true, true, true, true, true, true, true, true, true, true),
        C(true, true, false, true, true, true, true, true, true, true, true, true),
        C(true, true, true, false, true, true, true, true, true, true, true, true),
        C(true, true, true, true, false, true, true, true, true, true, true, true),
        C(true, true, true, true, true, false, true, true, true, true, true, true),
        C(true, true, true, true, true, true, false, true, true, true, true, true),
        C(true, true, true, true, true, true, true, false, true, true, true, true),
        C(true, true, true, true, true, true, true, true, false, true, true, true),
        C(true, true, true, true, true, true, true, true, true, false, true, true),
        C(true, true, true, true, true, true, true, true, true, true, false, true),
        C(true, true, true, true, true, true, true, true, true, true, true, false),
    };
    const Category order[] = {Category::type,           Category::date,       Category::percentage,
                              Category::dateBaseline,   Category::assignment, Category::work,
                              Category::workPercentage, Category::cost,       Category::contactor,
                              Category::urls,           Category::icon,       Category::color};
    for (std::size_t index = 0; index < std::size(order); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(each[index], C::allExcept({order[index]}));
        EXPECT_FALSE(each[index].contains(order[index]));
    }
    const C all;
    EXPECT_TRUE(all.type() && all.date() && all.percentage() && all.dateBaseline() &&
                all.assignment() && all.work() && all.workPercentage() && all.cost() &&
                all.contactor() && all.urls() && all.icon() && all.color());
    EXPECT_EQ(C::only({}), C(false, false, false, false, false, false, false, false, false, false,
                             false, false));
    EXPECT_EQ(C::allExcept({Category::date, Category::assignment, Category::contactor}),
              C(true, false, true, true, false, true, true, true, false, true, true, true));
}

TEST_F(CopyingTest, EachCategoryCopiesExactlyItsGroupBesideTheName) {
    struct Case {
        const char* what;
        Categories categories;
        std::set<std::string> changed;
    };
    const Case cases[] = {
        {"no group", Categories::only({}), {}},
        {"type", Categories::only({Category::type}), {"type"}},
        {"date", Categories::only({Category::date}), {"start", "finish"}},
        {"percentage", Categories::only({Category::percentage}), {"percentage"}},
        {"dateBaseline", Categories::only({Category::dateBaseline}), {"dateBaseline"}},
        {"assignment", Categories::only({Category::assignment}), {"assignment"}},
        {"work", Categories::only({Category::work}), {"work"}},
        {"workPercentage", Categories::only({Category::workPercentage}), {"workPercentage"}},
        {"cost", Categories::only({Category::cost}), {"laborCost", "materialsCost"}},
        {"contactor", Categories::only({Category::contactor}), {"contactor"}},
        {"urls", Categories::only({Category::urls}), {"url1", "url2"}},
        {"icon", Categories::only({Category::icon}), {"icon"}},
        {"color", Categories::only({Category::color}), {"color"}},
        {"every group",
         Categories(),
         {"type", "start", "finish", "percentage", "dateBaseline", "assignment", "work",
          "workPercentage", "laborCost", "materialsCost", "contactor", "url1", "url2", "icon",
          "color"}},
    };
    const auto from = fullySetSource();
    const auto expected = propertiesOf(*from);
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        const auto to = blankTarget();
        const auto before = propertiesOf(*to);
        from->copyProperties(*to, cs.categories);
        const auto after = propertiesOf(*to);
        std::set<std::string> changed = cs.changed;
        changed.insert("name");
        EXPECT_EQ(changedBetween(before, after), changed);
        for (const std::string& key : changed) {
            EXPECT_EQ(after.at(key), expected.at(key)) << key;
        }
    }
}

TEST_F(CopyingTest, SharesTheSourcesMemberObjects) {
    const auto from = fullySetSource();
    const auto to = blankTarget();
    from->copyProperties(*to, Categories());
    EXPECT_EQ(to->contactor(), sourceMember(3));
    EXPECT_EQ(to->resources().assignments()[0]->member(), sourceMember(1));
    EXPECT_EQ(to->resources().assignments()[1]->workload(), 150);
}

TEST_F(CopyingTest, GroupSourceGivesItsShownCompletionAndMaterialsButItsStoredWorkAndLabour) {
    const auto group = addTask(*source, source->root(), 1, monday(), 1);
    group->setWork(OrbTaskWork::fixDailyWork(1.0f));
    group->setLaborCost(OrbTaskLaborCost::fix(5.0f));
    const auto done = addTask(*source, group, 2, monday(), 3);
    done->setCompletedPercentage(100);
    done->setWork(OrbTaskWork::fixAmount(6.0f));
    done->setMaterialsCost(10.0f);
    const auto open = addTask(*source, group, 3, monday(), 1);
    open->setWork(OrbTaskWork::fixAmount(2.0f));
    open->setMaterialsCost(2.5f);
    group->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
    ASSERT_EQ(group->completePercentage(), 75);

    const auto to = blankTarget();
    group->copyProperties(*to, Categories::only({Category::percentage, Category::work,
                                                 Category::cost, Category::date}));
    EXPECT_EQ(to->completePercentage(), 75);
    EXPECT_TRUE(to->workData().isFixDailyWork());
    EXPECT_FLOAT_EQ(to->workData().amount().value(), 1.0f);
    EXPECT_FLOAT_EQ(to->costData().laborCost.amount().value(), 5.0f);
    EXPECT_EQ(to->costData().materialsCost, 12.5f);
    EXPECT_EQ(to->start(), monday());
    EXPECT_EQ(to->finish(), monday() + LxDays(3));
}

TEST_F(CopyingTest, AbsentSourceValuesFillOrKeepTheTargetsAsTheirGroupSays) {
    const auto from = addTask(*source, source->root(), 1, monday(), 1);
    const auto to = blankTarget();
    to->setContactor(targetMember(2));
    to->setUrl1(TaskUrl::make("Old", "https://example.org/old"));
    to->setUrl2(TaskUrl::make("Old", "https://example.org/old2"));
    from->copyProperties(*to,
                         Categories::only({Category::cost, Category::contactor, Category::urls}));
    EXPECT_EQ(to->costData().materialsCost, 0.0f);
    EXPECT_FALSE(to->costData().laborCost.isFix());
    EXPECT_EQ(to->contactor(), targetMember(2));
    EXPECT_EQ(to->url1(), std::nullopt);
    EXPECT_EQ(to->url2(), std::nullopt);
}

// A copy leaves out the baseline of a source without baseline dates, so a target must still
// lose dates it had, and take the source's when it has some.
TEST_F(CopyingTest, TheBaselineTakesTheSourcesDatesOrTheirAbsence) {
    using Dates = std::optional<std::pair<platform::Date, platform::Date>>;
    const Dates week{{monday() + LxDays(1), monday() + LxDays(8)}};
    const Dates day{{monday() + LxDays(2), monday() + LxDays(3)}};
    enum class Made { never, empty, dated };
    struct Case {
        const char* what;
        Made source;
        Dates sourceDates;
        Made target;
        Dates targetDates;
        Dates expected;
    };
    const Case cases[] = {
        {"neither has one", Made::never, {}, Made::never, {}, {}},
        {"the source's is empty", Made::empty, {}, Made::never, {}, {}},
        {"the target's dates are cleared", Made::never, {}, Made::dated, week, {}},
        {"... also by an empty one", Made::empty, {}, Made::dated, week, {}},
        {"an empty target takes the dates", Made::dated, week, Made::empty, {}, week},
        {"the source's dates are taken", Made::dated, week, Made::never, {}, week},
        {"and replace the target's", Made::dated, week, Made::dated, day, week},
    };
    const auto prepare = [](OrbProjectTask& task, Made made, const Dates& dates) {
        if (made == Made::empty) {
            static_cast<void>(task.dateBaseline());
        } else if (made == Made::dated) {
            task.dateBaseline()->change(dates->first, dates->second);
        }
    };
    std::int64_t id = 20;
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        const auto from = addTask(*source, source->root(), ++id, monday(), 3);
        const auto to = blankTarget();
        prepare(*from, cs.source, cs.sourceDates);
        prepare(*to, cs.target, cs.targetDates);
        from->copyProperties(*to, Categories::only({Category::dateBaseline}));
        const DateBaseline& baseline = *to->dateBaseline();
        EXPECT_EQ(baseline.start(), cs.expected ? std::optional(cs.expected->first) : std::nullopt);
        EXPECT_EQ(baseline.finish(),
                  cs.expected ? std::optional(cs.expected->second) : std::nullopt);
        EXPECT_EQ(baseline.duration(), cs.expected ? std::optional<std::int64_t>(lx::days(
                                                         cs.expected->second, cs.expected->first))
                                                   : std::nullopt);
    }
}

// The values few tasks hold (notes, web links, baseline, outline numbers) share one record that a
// task makes only when it needs it. Whichever of them either task holds, a copy takes the
// source's links and baseline dates, keeps the target's notes, and answers absent for the rest;
// so do both clones.
TEST_F(CopyingTest, OccasionalValuesCopyAloneWhateverElseEitherTaskHolds) {
    struct Setup {
        const char* what;
        std::function<void(OrbProjectTask&)> apply;
    };
    const Setup setups[] = {
        {"nothing", [](OrbProjectTask&) {}},
        {"notes", [](OrbProjectTask& task) { task.setNotes("gate code 4711"); }},
        {"url2", [](OrbProjectTask& task) { task.setUrl2(TaskUrl::make("Map", "https://m")); }},
        {"baseline dates",
         [](OrbProjectTask& task) {
             task.dateBaseline()->change(monday() + LxDays(1), monday() + LxDays(2));
         }},
        {"an empty baseline", [](OrbProjectTask& task) { static_cast<void>(task.dateBaseline()); }},
        {"an outline number", [](OrbProjectTask& task) { static_cast<void>(task.wbsNo()); }},
        {"every one",
         [](OrbProjectTask& task) {
             task.setNotes("");
             task.setUrl1(TaskUrl::make(std::nullopt, "https://a"));
             task.setUrl2(TaskUrl::make("B", "https://b"));
             task.dateBaseline()->change(monday() + LxDays(3), monday() + LxDays(5));
             static_cast<void>(task.directWbsNo());
         }},
    };
    // Read without making anything, so that reading the source cannot change what is copied.
    const auto occasionalOf = [](const OrbProjectTask& task) {
        const auto text = [](const auto& value) { return testing::PrintToString(value); };
        const auto url = [](const std::optional<TaskUrl>& value) {
            return value ? value->title().value_or("-") + " " + value->url() : "none";
        };
        const DateBaseline* baseline = task.madeDateBaseline();
        return std::map<std::string, std::string>{
            {"notes", text(task.notes())},
            {"url1", url(task.url1())},
            {"url2", url(task.url2())},
            {"dateBaseline", baseline ? text(baseline->start()) + text(baseline->finish())
                                      : text(std::nullopt) + text(std::nullopt)},
        };
    };
    // What a copy onto `target` should read as, taken before copying.
    const auto expectedCopy = [&](const OrbProjectTask& from, const OrbProjectTask& target) {
        auto expected = occasionalOf(from);
        expected["notes"] = occasionalOf(target)["notes"];
        return expected;
    };
    std::int64_t id = 100;
    for (const Setup& fromSetup : setups) {
        const auto from = addTask(*source, source->root(), ++id, monday(), 3);
        from->resources().addOrUpdateResource(sourceMember(1), 50);
        fromSetup.apply(*from);
        for (const Setup& toSetup : setups) {
            SCOPED_TRACE(std::string("source holds ") + fromSetup.what + ", target holds " +
                         toSetup.what);
            const auto to = addTask(*target, target->root(), ++id, monday(), 1);
            toSetup.apply(*to);
            const auto expected = expectedCopy(*from, *to);
            const bool sourceHadBaseline = from->madeDateBaseline() != nullptr;
            from->copyProperties(*to, Categories());
            EXPECT_EQ(occasionalOf(*to), expected);
            // Copying only reads the source: it makes nothing there.
            EXPECT_EQ(from->madeDateBaseline() != nullptr, sourceHadBaseline);
        }
        SCOPED_TRACE(std::string("clones of a source holding ") + fromSetup.what);
        const auto blank = blankTarget();
        EXPECT_EQ(occasionalOf(*from->clonePropertyExceptChildrenAndLinkToOtherProject(target)),
                  expectedCopy(*from, *blank));
        EXPECT_EQ(
            occasionalOf(
                *from->cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(
                    target, {1})),
            expectedCopy(*from, *blank));
    }
}

TEST_F(CopyingTest, TargetsThatIgnoreASetterKeepTheirValues) {
    const auto from = fullySetSource();
    const auto group = addTask(*target, target->root(), 1, monday() + LxDays(20), 1);
    const auto child = addTask(*target, group, 2, monday() + LxDays(20), 1);
    group->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
    const auto milestone = blankTarget();
    milestone->setTaskType(OrbProjectTaskType::milestone);

    from->copyProperties(*group,
                         Categories::only({Category::date, Category::assignment, Category::work}));
    from->copyProperties(*milestone, Categories::only({Category::assignment}));
    EXPECT_EQ(group->start(), monday() + LxDays(20));
    target->removeChild(group, child);
    EXPECT_EQ(group->start(), monday() + LxDays(20));
    EXPECT_TRUE(group->workData().isByResource());
    EXPECT_TRUE(group->resources().isEmpty());
    milestone->setTaskType(OrbProjectTaskType::singleTask);
    EXPECT_TRUE(milestone->resources().isEmpty());
}

TEST_F(CopyingTest, MilestoneSourceGivesTheDayBeforeItsFinishAsStart) {
    const auto milestone = addTask(*source, source->root(), 1, monday() - LxDays(30), 31);
    milestone->setTaskType(OrbProjectTaskType::milestone);
    const auto to = blankTarget();
    milestone->copyProperties(*to, Categories::only({Category::date}));
    EXPECT_EQ(to->start(), monday());
    EXPECT_EQ(to->finish(), monday() + LxDays(1));
}

// --- Copies for another project ---

TEST_F(CopyingTest, CloneKeepsIdAndShownDatesAndFindsMembersInTheOtherTeam) {
    const auto from = fullySetSource();
    const platform::Date farStart = monday() + LxYears(150);
    const auto far = OrbProjectTask::create(source, nullptr, 8, farStart, farStart + LxDays(2));
    target->team()->remove(2);
    const LogCapture log;

    const auto copy = from->clonePropertyExceptChildrenAndLinkToOtherProject(target);
    EXPECT_EQ(copy->id(), 7);
    EXPECT_EQ(copy->project(), target);
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_EQ(copy->childs(), std::nullopt);
    EXPECT_EQ(copy->links().predecessorCount(), 0);
    EXPECT_EQ(copy->notes(), std::nullopt);
    EXPECT_FALSE(copy->collapsed());
    auto expected = propertiesOf(*from);
    auto actual = propertiesOf(*copy);
    for (const char* key : {"assignment", "contactor", "links", "notes", "collapsed", "parent"}) {
        expected.erase(key);
        actual.erase(key);
    }
    EXPECT_EQ(actual, expected);

    ASSERT_EQ(copy->resources().assignments().size(), 1u);
    EXPECT_EQ(copy->resources().assignments()[0]->member(), targetMember(1));
    EXPECT_EQ(copy->resources().assignments()[0]->workload(), 50);
    EXPECT_EQ(copy->contactor(), targetMember(3));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains("Clone incorrect, as member \"Ben\" is not cloned correctly"));
    EXPECT_TRUE(
        log.contains(").(clonePropertyExceptChildrenAndLinkToOtherProject(toProject:)).(#"));

    EXPECT_EQ(far->clonePropertyExceptChildrenAndLinkToOtherProject(target)->start(), farStart);
}

TEST_F(CopyingTest, CloneWithoutTheContactPersonInTheOtherTeamWarnsOnce) {
    const auto from = addTask(*source, source->root(), 1, monday(), 1);
    from->setContactor(sourceMember(3));
    target->team()->remove(3);
    const LogCapture log;
    const auto copy = from->clonePropertyExceptChildrenAndLinkToOtherProject(target);
    EXPECT_EQ(copy->contactor(), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains("Clone incorrect, as member \"Cai\" is not cloned correctly"));
}

TEST_F(CopyingTest, CloneForMembersKeepsTheirShareOfWorkAndCost) {
    // Work, labour cost and materials cost of a task.
    struct Amounts {
        OrbTaskWork work;
        OrbTaskLaborCost labor;
        std::optional<float> materials;
    };
    struct Case {
        const char* what;
        std::vector<std::int64_t> workloads;  // of members 1, 2, ...
        std::vector<std::int64_t> memberIds;
        Amounts amounts;
        std::vector<std::int64_t> keptWorkloads;  // of the copy's assignments, in order
        Amounts kept;
    };
    using W = OrbTaskWork;
    using L = OrbTaskLaborCost;
    const Case cases[] = {
        {"half of it",
         {50, 50},
         {2},
         {W::fixAmount(16), L::fix(100), 30.0f},
         {50},
         {W::fixAmount(8), L::fix(50), 15.0f}},
        {"all of it",
         {50, 50},
         {2, 1},
         {W::fixAmount(16), L::fix(100), 30.0f},
         {50, 50},
         {W::fixAmount(16), L::fix(100), 30.0f}},
        {"daily work and an estimated labour cost",
         {25, 75},
         {1},
         {W::fixDailyWork(4), L::auto_(), std::nullopt},
         {25},
         {W::fixDailyWork(1), L::auto_(), 0.0f}},
        {"work by resource",
         {50, 50},
         {1},
         {W::byResource(), L::fix(10), 8.0f},
         {50},
         {W::byResource(), L::fix(5), 4.0f}},
        {"a member named twice",
         {50, 150},
         {2, 2},
         {W::fixAmount(20), L::fix(100), 0.0f},
         {150},
         {W::fixAmount(15), L::fix(75), 0.0f}},
        {"workloads adding up below 0",
         {-100, 50},
         {2},
         {W::fixAmount(16), L::fix(100), 30.0f},
         {50},
         {W::fixAmount(16), L::fix(100), 30.0f}},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        const auto from = addTask(*source, source->root(), 1, monday(), 2);
        for (std::size_t index = 0; index < cs.workloads.size(); ++index) {
            from->resources().addOrUpdateResource(
                sourceMember(static_cast<std::int64_t>(index) + 1), cs.workloads[index]);
        }
        from->setWork(cs.amounts.work);
        from->setLaborCost(cs.amounts.labor);
        from->setMaterialsCost(cs.amounts.materials);
        from->setWorkCompletedPercentage(30);
        from->setCompletedPercentage(20);

        const auto copy =
            from->cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(
                target, cs.memberIds);
        ASSERT_NE(copy, nullptr);
        std::vector<std::int64_t> kept;
        for (const auto& assignment : copy->resources().assignments()) {
            EXPECT_EQ(assignment->member(), targetMember(assignment->member()->id()));
            kept.push_back(assignment->workload());
        }
        EXPECT_EQ(kept, cs.keptWorkloads);
        EXPECT_EQ(copy->workData().kind(), cs.kept.work.kind());
        EXPECT_FLOAT_EQ(copy->workData().amount().value_or(-1), cs.kept.work.amount().value_or(-1));
        EXPECT_EQ(copy->costData().laborCost.kind(), cs.kept.labor.kind());
        EXPECT_FLOAT_EQ(copy->costData().laborCost.amount().value_or(-1),
                        cs.kept.labor.amount().value_or(-1));
        EXPECT_EQ(copy->costData().materialsCost, cs.kept.materials);
        EXPECT_EQ(copy->workCompletePercentage(), 30);
        EXPECT_EQ(copy->completePercentage(), 20);
        EXPECT_EQ(copy->id(), 1);
        source->removeChild(source->root(), from);
    }
}

TEST_F(CopyingTest, CloneForMembersGivesNothingWithoutTheirWorkOnASingleTask) {
    const auto single = addTask(*source, source->root(), 1, monday(), 2);
    single->resources().addOrUpdateResource(sourceMember(1), 50);
    single->resources().addOrUpdateResource(sourceMember(2), 0);
    const auto group = addTask(*source, source->root(), 2, monday(), 2);
    addTask(*source, group, 3, monday(), 2)->resources().addOrUpdateResource(sourceMember(1), 50);
    const auto milestone = addTask(*source, source->root(), 4, monday(), 2);
    milestone->resources().addOrUpdateResource(sourceMember(1), 50);
    milestone->setTaskType(OrbProjectTaskType::milestone);
    const auto subProject = addTask(*source, source->root(), 5, monday(), 2);
    subProject->resources().addOrUpdateResource(sourceMember(1), 50);
    subProject->setTaskType(OrbProjectTaskType::subProjectTask);

    struct Case {
        const char* what;
        TaskPtr task;
        std::vector<std::int64_t> memberIds;
    };
    const Case cases[] = {
        {"a member not assigned", single, {3}},
        {"a member with workload 0", single, {2}},
        {"no members", single, {}},
        {"a group", group, {1}},
        {"a milestone", milestone, {1}},
        {"a sub-project", subProject, {1}},
    };
    const LogCapture log;
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        EXPECT_EQ(
            cs.task->cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(
                target, cs.memberIds),
            nullptr);
    }
    EXPECT_TRUE(log.lines().empty());
    EXPECT_NE(group->clonePropertyExceptChildrenAndLinkToOtherProject(target), nullptr);
    EXPECT_NE(milestone->clonePropertyExceptChildrenAndLinkToOtherProject(target), nullptr);
}

TEST_F(CopyingTest, CloneForMembersMissingInTheOtherTeamWarnsAndKeepsNoShare) {
    const auto from = addTask(*source, source->root(), 1, monday(), 2);
    from->resources().addOrUpdateResource(sourceMember(1), 50);
    from->setWork(OrbTaskWork::fixAmount(16));
    target->team()->remove(1);
    const LogCapture log;
    const auto copy =
        from->cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(target,
                                                                                             {1});
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->resources().isEmpty());
    EXPECT_FLOAT_EQ(copy->workData().amount().value(), 0.0f);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains("Clone incorrect, as member \"Ana\" is not cloned correctly"));
    EXPECT_TRUE(log.contains(
        ").(cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers("
        "toProject:memberIds:)).(#"));
}

}  // namespace
