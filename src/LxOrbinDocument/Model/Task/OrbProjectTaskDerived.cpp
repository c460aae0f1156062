// Derived values of tasks with children, and the per-task figures they are calculated from.
#include <array>
#include <limits>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/CollectionExtensions.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/LxTreeNode.h"
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

}  // namespace

// The calculations refer back to this task through the boxes it holds; a task is never copied
// or moved, so the reference stays good for the box's whole life.
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
    return weightedCompletion(
        [](const OrbProjectTask& leaf) { return leaf._completedPercentage.storedValue; });
}

std::optional<OrbTaskWork> OrbProjectTask::calculateGroupWork() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    warmChildren(&OrbProjectTask::_work);
    return OrbTaskWork::fixAmount(
        lx::sum(*_childs, [](const Ptr& child) { return child->work(); }));
}

std::optional<std::int64_t> OrbProjectTask::calculateGroupWorkCompletedPercentage() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    float workTotal = 0.0f;
    float weightedSum = 0.0f;
    bool openZeroDayLeaf = false;
    lx::treeNavigate(handle(), true, [&](const Ptr& task) {
        if (task->hasChilds()) {
            return;
        }
        const float work = task->work();
        const std::int64_t percentage = task->_workCompletedPercentage.storedValue;
        workTotal += work;
        weightedSum += static_cast<float>(percentage) * work;
        if (percentage < kComplete && task->days() < 1) {
            openZeroDayLeaf = true;
        }
    });
    if (workTotal < kLeastWork) {
        return 0;
    }
    const std::int64_t percent = roundedPercent(weightedSum / workTotal);
    if (percent >= kComplete) {
        return openZeroDayLeaf ? kComplete - 1 : kComplete;
    }
    return percent;
}

std::optional<OrbTaskCost> OrbProjectTask::calculateCost() const {
    if (!hasChilds()) {
        return std::nullopt;
    }
    warmChildren(&OrbProjectTask::_cost);
    const float labor = lx::sum(*_childs, [](const Ptr& child) { return child->laborCost(); });
    const float materials =
        lx::sum(*_childs, [](const Ptr& child) { return child->materialsCost(); });
    return OrbTaskCost(OrbTaskLaborCost::fix(labor), materials);
}

// A leaf that has not a single working day but is still open keeps its group from reading as
// complete: the group answers 99 instead of 100, or 0 when no leaf has a working day.
std::int64_t OrbProjectTask::weightedCompletion(
    const std::function<std::int64_t(const OrbProjectTask&)>& percentOfLeaf) const {
    std::int64_t dayTotal = 0;
    std::int64_t weightedSum = 0;
    bool openZeroDayLeaf = false;
    lx::treeNavigate(handle(), true, [&](const Ptr& task) {
        if (task->hasChilds()) {
            return;
        }
        const std::int64_t days = task->days();
        const std::int64_t percentage = percentOfLeaf(*task);
        dayTotal = lx::saturatingAdd(dayTotal, days);
        weightedSum = lx::saturatingAdd(weightedSum, saturatingMultiply(days, percentage));
        if (days < 1 && percentage < kComplete) {
            openZeroDayLeaf = true;
        }
    });
    if (dayTotal < 1) {
        return openZeroDayLeaf ? 0 : kComplete;
    }
    const std::int64_t percent =
        roundedPercent(static_cast<float>(weightedSum) / static_cast<float>(dayTotal));
    return percent == kComplete && openZeroDayLeaf ? kComplete - 1 : percent;
}

// --- Figures ---

std::int64_t OrbProjectTask::days() const {
    if (isMilestone()) {
        return 0;
    }
    const auto project = this->project();
    if (!project) {
        return 0;
    }
    return project->calendar()->countOfWorkingDays(start(), finish());
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
    const OrbTaskWork& stored = _work.storedValue;
    switch (stored.kind()) {
        case OrbTaskWork::Kind::fixAmount:
            return *stored.amount();
        case OrbTaskWork::Kind::fixDailyWork:
            return static_cast<float>(days()) * *stored.amount();
        case OrbTaskWork::Kind::byResource:
            break;
    }
    const auto project = this->project();
    const float dailyHours = project ? project->dailyWorkingHours() : 0.0f;
    return static_cast<float>(days()) * resources().unitsOfWorkload() * dailyHours;
}

float OrbProjectTask::laborCost() const {
    const OrbTaskLaborCost labor =
        hasChilds() ? _cost.value(*this).laborCost : _cost.storedValue.laborCost;
    if (labor.isFix()) {
        return *labor.amount();
    }
    return hasChilds() ? 0.0f : estimatedAutoLaborCost();
}

float OrbProjectTask::estimatedAutoLaborCost() const {
    const OrbTaskResources& assigned = resources();
    if (!assigned.isEmpty()) {
        return work() * assigned.averageCostRate();
    }
    const auto project = this->project();
    return work() * (project ? project->defaultCostRate() : 0.0f);
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
