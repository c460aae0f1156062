// Derived values of tasks with children, and the per-task figures they are calculated from.
#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbLeafFiguresScope.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/CollectionExtensions.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/NumberConversions.h"

using Ptr = OrbProjectTask::Ptr;

namespace {

constexpr std::int64_t kComplete = 100;
constexpr float kRoundingUpFraction = 0.9f;
constexpr float kLeastWork = 0.01f;

// Percentages are stored as read from files, so products of huge ones hold at the end of the
// range instead of overflowing.
std::int64_t saturatingMultiply(std::int64_t lhs, std::int64_t rhs) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(lhs, rhs, &product)) {
        return (lhs < 0) == (rhs < 0) ? std::numeric_limits<std::int64_t>::max()
                                      : std::numeric_limits<std::int64_t>::min();
    }
    return product;
}

// The ratio truncated toward zero, one more when its fraction reaches 0.9 (in float: 74.9
// gives 75, 74.89 gives 74). A ratio that is not a number gives 0 and one beyond the 64-bit
// range its nearest end, instead of an undefined conversion.
std::int64_t roundedPercent(float ratio) {
    const std::int64_t whole = lx::toInt(ratio);
    if (ratio - static_cast<float>(whole) >= kRoundingUpFraction) {
        return lx::saturatingAdd(whole, 1);
    }
    return whole;
}

// The tasks without children below `group`, in the order a pre-order walk meets them, read in
// place: every group's figures walk its whole subtree, and copying each child list on the way
// cost more than the figures read from the leaves. Nothing the visit does changes the tree.
template <class Visit>
void forEachLeafBelow(const OrbProjectTask& group, Visit&& visit) {
    struct Frame {
        const OrbProjectTask::Childs* childs;
        std::size_t next = 0;
    };
    if (!group.hasChilds()) {
        return;
    }
    std::vector<Frame> stack{{&*group.childs()}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.childs->size()) {
            stack.pop_back();
            continue;
        }
        const OrbProjectTask& task = *(*top.childs)[top.next++];
        if (task.hasChilds()) {
            stack.push_back({&*task.childs()});
        } else {
            visit(task);
        }
    }
}

// days() of `task`, whose project is `project`.
std::int64_t workingDaysOf(const OrbProjectTask& task, const OrbProject* project) {
    if (task.isMilestone() || project == nullptr) {
        return 0;
    }
    return project->calendar()->countOfWorkingDays(task.start(), task.finish());
}

// work() of `leaf`, a task without children whose project is `project`; `days` answers its
// working days and is asked only where the kind of work needs them. A group's work completion
// needs both figures of every leaf below it, and each one asks the calendar.
template <class Days>
float leafWorkOf(const OrbProjectTask& leaf, const OrbProject* project, Days&& days) {
    if (leaf.isMilestone()) {
        return 0.0f;
    }
    const OrbTaskWork& stored = leaf.workData();
    switch (stored.kind()) {
        case OrbTaskWork::Kind::fixAmount:
            return *stored.amount();
        case OrbTaskWork::Kind::fixDailyWork:
            return static_cast<float>(days()) * *stored.amount();
        case OrbTaskWork::Kind::byResource:
            break;
    }
    const float dailyHours = project != nullptr ? project->dailyWorkingHours() : 0.0f;
    return static_cast<float>(days()) * leaf.resources().unitsOfWorkload() * dailyHours;
}

// One leaf's figures, as the group calculations read them.
struct LeafFigure {
    std::int64_t days = 0;
    float work = 0.0f;
    std::int64_t completed = 0;
    std::int64_t workCompleted = 0;
};

// The sums of a group's completion, leaf by leaf in the leaves' order. A leaf that has not a
// single working day but is still open keeps its group from reading as complete: the group
// answers 99 instead of 100, or 0 when no leaf has a working day.
class CompletionSums {
public:
    void add(std::int64_t days, std::int64_t percentage) {
        dayTotal_ = lx::saturatingAdd(dayTotal_, days);
        weightedSum_ = lx::saturatingAdd(weightedSum_, saturatingMultiply(days, percentage));
        if (days < 1 && percentage < kComplete) {
            openZeroDayLeaf_ = true;
        }
    }

    std::int64_t result() const {
        if (dayTotal_ < 1) {
            return openZeroDayLeaf_ ? 0 : kComplete;
        }
        const std::int64_t percent =
            roundedPercent(static_cast<float>(weightedSum_) / static_cast<float>(dayTotal_));
        return percent == kComplete && openZeroDayLeaf_ ? kComplete - 1 : percent;
    }

private:
    std::int64_t dayTotal_ = 0;
    std::int64_t weightedSum_ = 0;
    bool openZeroDayLeaf_ = false;
};

// The sums of a group's work completion, leaf by leaf in the leaves' order; `days` is asked
// only for a leaf still open.
class WorkCompletionSums {
public:
    template <class Days>
    void add(float work, std::int64_t percentage, Days&& days) {
        workTotal_ += work;
        weightedSum_ += static_cast<float>(percentage) * work;
        if (percentage < kComplete && days() < 1) {
            openZeroDayLeaf_ = true;
        }
    }

    std::int64_t result() const {
        if (workTotal_ < kLeastWork) {
            return 0;
        }
        const std::int64_t percent = roundedPercent(weightedSum_ / workTotal_);
        if (percent >= kComplete) {
            return openZeroDayLeaf_ ? kComplete - 1 : kComplete;
        }
        return percent;
    }

private:
    float workTotal_ = 0.0f;
    float weightedSum_ = 0.0f;
    bool openZeroDayLeaf_ = false;
};

// estimatedAutoLaborCost() of `task`, whose work is `work`.
float autoLaborCostOf(const OrbProjectTask& task, float work) {
    const OrbTaskResources& assigned = task.resources();
    if (!assigned.isEmpty()) {
        return work * assigned.averageCostRate();
    }
    const auto project = task.project();
    return work * (project ? project->defaultCostRate() : 0.0f);
}

// laborCost() of `leaf`, a task without children; `work` answers its work, asked only for a
// cost that is not fixed.
template <class Work>
float leafLaborCostOf(const OrbProjectTask& leaf, Work&& work) {
    const OrbTaskLaborCost& labor = leaf.costData().laborCost;
    return labor.isFix() ? *labor.amount() : autoLaborCostOf(leaf, work());
}

// A leaf's figures as the group calculations read them; a leaf answers its stored percentages.
LeafFigure leafFigureOf(const OrbProjectTask& leaf) {
    const auto project = leaf.project();
    const std::int64_t days = workingDaysOf(leaf, project.get());
    return LeafFigure{.days = days,
                      .work = leafWorkOf(leaf, project.get(), [days] { return days; }),
                      .completed = leaf.completePercentage(),
                      .workCompleted = leaf.workCompletePercentage()};
}

}  // namespace

// The leaves of the tree in pre-order, the run of them below each group, and each leaf's
// figures once read.
struct OrbLeafFiguresScope::Figures {
    struct Run {
        std::size_t begin;
        std::size_t end;
    };

    std::vector<const OrbProjectTask*> leaves;
    std::vector<std::optional<LeafFigure>> figures;
    std::unordered_map<const OrbProjectTask*, Run> runs;

    // The figure of the leaf at `index`, read the first time it is asked for.
    const LeafFigure& figureAt(std::size_t index) {
        std::optional<LeafFigure>& figure = figures[index];
        if (!figure) {
            figure = leafFigureOf(*leaves[index]);
        }
        return *figure;
    }

    // Folds `add` over the figures of the leaves below `group`; false when `group` is not a
    // group of this tree.
    template <class Add>
    bool fold(const OrbProjectTask& group, Add&& add) {
        const auto run = runs.find(&group);
        if (run == runs.end()) {
            return false;
        }
        for (std::size_t index = run->second.begin; index < run->second.end; ++index) {
            add(figureAt(index));
        }
        return true;
    }

    // Calls `visit(child, figure)` for the children of `group` in order, `figure` being a leaf
    // child's figure and null for a group child; false when `group` or one of its groups is not
    // one of this tree, and the caller then drops what the visits before gathered.
    template <class Visit>
    bool forEachChild(const OrbProjectTask& group, Visit&& visit) {
        const auto run = runs.find(&group);
        if (run == runs.end()) {
            return false;
        }
        std::size_t next = run->second.begin;
        for (const auto& child : *group.childs()) {
            if (!child->hasChilds()) {
                visit(*child, &figureAt(next++));
                continue;
            }
            const auto childRun = runs.find(child.get());
            if (childRun == runs.end()) {
                return false;
            }
            visit(*child, static_cast<const LeafFigure*>(nullptr));
            next = childRun->second.end;
        }
        return true;
    }
};

namespace {

thread_local OrbLeafFiguresScope::Figures* activeLeafFigures = nullptr;

}  // namespace

OrbLeafFiguresScope::OrbLeafFiguresScope(const OrbProjectTask& root)
    : figures_(std::make_unique<Figures>()), outer_(activeLeafFigures) {
    struct Frame {
        const OrbProjectTask* group;
        std::size_t next = 0;
        std::size_t firstLeaf;
    };
    std::vector<Frame> stack;
    if (root.hasChilds()) {
        stack.push_back({&root, 0, 0});
    }
    while (!stack.empty()) {
        Frame& top = stack.back();
        const OrbProjectTask::Childs& childs = *top.group->childs();
        if (top.next == childs.size()) {
            figures_->runs.insert_or_assign(top.group,
                                            Figures::Run{top.firstLeaf, figures_->leaves.size()});
            stack.pop_back();
            continue;
        }
        const OrbProjectTask& child = *childs[top.next++];
        if (child.hasChilds()) {
            stack.push_back({&child, 0, figures_->leaves.size()});
        } else {
            figures_->leaves.push_back(&child);
        }
    }
    figures_->figures.resize(figures_->leaves.size());
    activeLeafFigures = figures_.get();
}

OrbLeafFiguresScope::~OrbLeafFiguresScope() {
    activeLeafFigures = outer_;
}

// A group's start, finish, work and cost read the same value of its children, and a cold child
// would calculate its own first: read plainly, a tree as deep as a file likes would recurse as
// deep. The same calculations run here bottom-up from an explicit stack, for exactly the tasks
// whose value such a read would calculate, so the results and the caches are the same.
template <class Box>
void OrbProjectTask::warmChildren(Box OrbProjectTask::*box) const {
    struct Frame {
        const OrbProjectTask* task;
        std::size_t next = 0;
    };
    std::vector<Frame> stack{{this}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const Childs& childs = *top.task->_childs;
        if (top.next < childs.size()) {
            const OrbProjectTask& child = *childs[top.next++];
            if (child.hasChilds() && (child.*box).needsCalculation()) {
                stack.push_back({&child});
            }
            continue;
        }
        const OrbProjectTask* done = top.task;
        stack.pop_back();
        if (done != this) {
            (done->*box).value(*done);
        }
    }
}

// --- Refresh ---

// The six boxes in the order of the refresh flags: start, finish, completion, work, work
// completion, cost.
template <class Action>
void OrbProjectTask::forEachChosenBox(const std::array<bool, 6>& chosen, Action&& action) {
    if (!hasChilds()) {
        return;
    }
    const auto each = [&](bool isChosen, auto& box) {
        if (isChosen) {
            action(box);
        }
    };
    each(chosen[0], _start);
    each(chosen[1], _finish);
    each(chosen[2], _completedPercentage);
    each(chosen[3], _work);
    each(chosen[4], _workCompletedPercentage);
    each(chosen[5], _cost);
}

void OrbProjectTask::refreshCalculatablePropertiesOfTaskGroup(bool start, bool finish,
                                                              bool completed, bool work,
                                                              bool workcompleted, bool cost) {
    forEachChosenBox({start, finish, completed, work, workcompleted, cost},
                     [this](const auto& box) { box.recalculate(*this); });
}

void OrbProjectTask::requestToRefreshCalculatablePropertiesOfTaskGroup(bool start, bool finish,
                                                                       bool completed, bool work,
                                                                       bool workcompleted,
                                                                       bool cost) {
    forEachChosenBox({start, finish, completed, work, workcompleted, cost},
                     [](auto& box) { box.requestRecalculation(); });
}

void OrbProjectTask::requestToRefreshAllCalculatablePropertiesOfTaskGroup() {
    requestToRefreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
}

void OrbProjectTask::executeRequestToRefreshCalculatablePropertiesOfTaskGroup() {
    forEachChosenBox({true, true, true, true, true, true},
                     [this](const auto& box) { box.executeRequestIfNeeded(*this); });
}

// --- Calculations ---

std::optional<platform::Date> OrbProjectTask::calculateGroupStart() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    warmChildren(&OrbProjectTask::_start);
    return lx::minOf(*_childs, [](const Ptr& child) { return child->start(); });
}

std::optional<platform::Date> OrbProjectTask::calculateGroupFinish() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    warmChildren(&OrbProjectTask::_finish);
    return lx::maxOf(*_childs, [](const Ptr& child) { return child->finish(); });
}

std::optional<std::int64_t> OrbProjectTask::calculateGroupCompletedPercentage() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    CompletionSums sums;
    if (activeLeafFigures != nullptr &&
        activeLeafFigures->fold(*this, [&sums](const LeafFigure& figure) {
            sums.add(figure.days, figure.completed);
        })) {
        return sums.result();
    }
    return weightedCompletion(
        [](const OrbProjectTask& leaf) { return leaf._completedPercentage.storedValue; });
}

std::optional<OrbTaskWork> OrbProjectTask::calculateGroupWork() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    warmChildren(&OrbProjectTask::_work);
    float total = 0.0f;
    if (activeLeafFigures != nullptr &&
        activeLeafFigures->forEachChild(
            *this, [&total](const OrbProjectTask& child, const LeafFigure* figure) {
                total += figure != nullptr ? figure->work : child.work();
            })) {
        return OrbTaskWork::fixAmount(total);
    }
    return OrbTaskWork::fixAmount(
        lx::sum(*_childs, [](const Ptr& child) { return child->work(); }));
}

std::optional<std::int64_t> OrbProjectTask::calculateGroupWorkCompletedPercentage() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    WorkCompletionSums sums;
    if (activeLeafFigures != nullptr &&
        activeLeafFigures->fold(*this, [&sums](const LeafFigure& figure) {
            sums.add(figure.work, figure.workCompleted, [&figure] { return figure.days; });
        })) {
        return sums.result();
    }
    forEachLeafBelow(*this, [&sums](const OrbProjectTask& task) {
        const auto project = task.project();
        std::optional<std::int64_t> days;
        const auto daysOfTask = [&] {
            if (!days) {
                days = workingDaysOf(task, project.get());
            }
            return *days;
        };
        sums.add(leafWorkOf(task, project.get(), daysOfTask),
                 task._workCompletedPercentage.storedValue, daysOfTask);
    });
    return sums.result();
}

std::optional<OrbTaskCost> OrbProjectTask::calculateCost() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    warmChildren(&OrbProjectTask::_cost);
    float labor = 0.0f;
    const bool fromFigures =
        activeLeafFigures != nullptr &&
        activeLeafFigures->forEachChild(*this, [&labor](const OrbProjectTask& child,
                                                        const LeafFigure* figure) {
            labor += figure != nullptr ? leafLaborCostOf(child, [figure] { return figure->work; })
                                       : child.laborCost();
        });
    if (!fromFigures) {
        labor = lx::sum(*_childs, [](const Ptr& child) { return child->laborCost(); });
    }
    const float materials =
        lx::sum(*_childs, [](const Ptr& child) { return child->materialsCost(); });
    return OrbTaskCost(OrbTaskLaborCost::fix(labor), materials);
}

std::int64_t OrbProjectTask::weightedCompletion(
    const std::function<std::int64_t(const OrbProjectTask&)>& percentOfLeaf) const {
    CompletionSums sums;
    forEachLeafBelow(*this, [&](const OrbProjectTask& task) {
        const std::int64_t days = task.days();
        sums.add(days, percentOfLeaf(task));
    });
    return sums.result();
}

// --- Figures ---

std::int64_t OrbProjectTask::days() const {
    if (isMilestone()) {
        return 0;
    }
    return workingDaysOf(*this, project().get());
}

std::int64_t OrbProjectTask::duration() const {
    return isMilestone() ? 0 : lx::days(finish(), start());
}

platform::Date OrbProjectTask::finishForDisplay() const {
    return finish() - LxSeconds(1);
}

float OrbProjectTask::work() const {
    if (isMilestone()) {
        return 0.0f;
    }
    if (hasChilds()) {
        const OrbTaskWork derived = _work.value(*this);
        return derived.isFixAmount() ? *derived.amount() : 0.0f;
    }
    const auto project = this->project();
    return leafWorkOf(*this, project.get(), [&] { return workingDaysOf(*this, project.get()); });
}

float OrbProjectTask::laborCost() const {
    if (!hasChilds()) {
        return leafLaborCostOf(*this, [this] { return work(); });
    }
    const OrbTaskLaborCost labor = _cost.value(*this).laborCost;
    return labor.isFix() ? *labor.amount() : 0.0f;
}

float OrbProjectTask::estimatedAutoLaborCost() const {
    return autoLaborCostOf(*this, work());
}

float OrbProjectTask::materialsCost() const {
    const OrbTaskCost cost = hasChilds() ? _cost.value(*this) : _cost.storedValue;
    return cost.materialsCost.value_or(0.0f);
}

float OrbProjectTask::totalCost() const {
    return laborCost() + materialsCost();
}

bool OrbProjectTask::hasAssignment() const {
    return !hasChilds() && !isMilestone() && !_resources.isEmpty();
}

std::int64_t OrbProjectTask::tobeCompletePercentage() const {
    if (hasChilds()) {
        return weightedCompletion(
            [](const OrbProjectTask& leaf) { return leaf.tobeCompletePercentage(); });
    }
    const platform::Date today = lx::toDayOnly(platform::Date::now());
    if (_start.storedValue >= today) {
        return 0;
    }
    if (today > _finish.storedValue) {
        return kComplete;
    }
    if (isMilestone()) {
        return 0;
    }
    const std::int64_t total = days();
    const auto project = this->project();
    if (total < 1 || !project) {
        return 0;
    }
    const std::int64_t done = project->calendar()->countOfWorkingDays(_start.storedValue, today);
    return saturatingMultiply(done, kComplete) / total;
}
