// Reading: a decoded document becomes a project. Writing is in DataMapServiceWriting.cpp.
#include "LxOrbinDocument/Mapper/DataMapService.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "LxLog/Log.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbLeafFiguresScope.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "platform/foundation/CallSite.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/NumberConversions.h"
#include "utility/StringExtensions.h"

using Task = DataMapService::Task;

namespace {

constexpr float kDefaultDailyWorkingHours = 8.0f;
constexpr float kMaximumDailyWorkingHours = 24.0f;
constexpr float kDefaultCostRate = 1.0f;
constexpr float kDefaultTimespaceScale = 1.0f;
constexpr std::int64_t kLeastWorkload = 1;
constexpr std::int64_t kDefaultRootId = 0;

// --- Header and team ---

// Entries without id or name cannot be told apart or shown, so they are left out.
void mapMembers(OrbProject& project, const JsonProject& document) {
    if (!document.peoples || document.peoples->empty()) {
        return;
    }
    std::vector<std::shared_ptr<OrbProjectMember>> members;
    members.reserve(document.peoples->size());
    for (const JsonPeople& people : *document.peoples) {
        if (people.id && people.name) {
            members.push_back(OrbProjectMember::create(*people.id, *people.name, people.photoId,
                                                       people.email,
                                                       people.costRate.value_or(kDefaultCostRate)));
        }
    }
    project.team()->replaceMembers(members);
}

// The project's setters clamp too, but let a value that is not a number through; the negated
// comparison catches that as well.
float dailyWorkingHoursOf(const JsonProject& document) {
    const float hours = document.dailyWorkingHours.value_or(kDefaultDailyWorkingHours);
    return hours > 0.0f && hours <= kMaximumDailyWorkingHours ? hours : kDefaultDailyWorkingHours;
}

float defaultCostRateOf(const JsonProject& document) {
    const float rate = document.defaultCostRate.value_or(kDefaultCostRate);
    return rate >= 0.0f ? rate : kDefaultCostRate;
}

void mapHeader(OrbProject& project, const JsonProject& document) {
    project.setColorIndex(document.colorIndex.value_or(0));
    project.setDailyWorkingHours(dailyWorkingHoursOf(document));
    project.setDefaultCostRate(defaultCostRateOf(document));
    project.setCurrency(lx::isBlank(document.currency) ? "$" : *document.currency);
    project.setDisplayCurrencyAtBegin(document.displayCurrencyAtBegin.value_or(false));
    project.setNotes(document.notes);
    project.setTimespaceScale(document.timespaceScale.value_or(kDefaultTimespaceScale));
    project.setTimespaceOrginalTime(document.timespaceOrginalTime);
    project.setScreenOffsetY(document.screenOffsetY.value_or(0.0f));
    project.setTaskLinkType(OrbTaskLinkType::fromRawValue(document.taskLinkType.value_or(0))
                                .value_or(OrbTaskLinkType::finishToStart));
    project.setUserHasSetLinkType(document.userHasSetLinkType.value_or(false));
    project.setOnlyWorkingDayTaskSchedule(document.onlyWorkingDayTaskSchedule.value_or(false));
    project.setImageId(document.imageId);
    project.setPdfAuthorName(document.pdfAuthorName);
    project.setPdfBannerImageId(document.pdfBannerImageId);
}

// --- One task ---

// The start of the day of each date met in one mapping: a plan's dates fall on few days, and a
// calendar call costs more than the rest of a task's fields.
class DayStarts {
public:
    platform::Date of(platform::Date date) {
        const auto [found, added] = days_.try_emplace(date.secondsSinceReferenceDate(), date);
        if (added) {
            found->second = lx::toDayOnly(date);
        }
        return found->second;
    }

    // Today's start, taken once per mapping: every task that falls back on it gets the same day.
    platform::Date today() {
        if (!today_) {
            today_ = lx::toDayOnly(platform::Date::now());
        }
        return *today_;
    }

private:
    std::unordered_map<double, platform::Date> days_;
    std::optional<platform::Date> today_;
};

// A stored date is the day the document names. A group shows its children's dates, so a group
// without one only needs a placeholder; a task without children and without the date is unusable.
std::optional<platform::Date> taskDate(const std::optional<platform::Date>& date, bool hasChilds,
                                       DayStarts& dayStarts) {
    if (date) {
        return dayStarts.of(*date);
    }
    if (hasChilds) {
        return platform::Date::now();
    }
    return std::nullopt;
}

// The model's rules for a task's own dates, as its setters apply them: a date outside the
// document's span becomes today (start) or tomorrow (finish), and then a task never finishes
// before it starts. The range goes first, or a reversed pair put in order could be reversed again.
std::pair<platform::Date, platform::Date> taskDates(platform::Date start, platform::Date finish,
                                                    DayStarts& dayStarts) {
    const OrbinDocumentConfig& span = OrbinDocumentConfig::shared();
    if (!span.contains(start)) {
        start = dayStarts.today();
    }
    if (!span.contains(finish)) {
        finish = dayStarts.today() + LxDays(1);
    }
    return finish < start ? std::pair(finish, start) : std::pair(start, finish);
}

// A group whose children all dropped out is a plain task after all: its placeholder dates
// become days, as every task's own dates are, so that the document it writes reads back as
// the same task.
void settlePlaceholderDates(OrbProjectTask& task, const JsonTask& record, DayStarts& dayStarts) {
    if (task.hasChilds() || (record.start && record.finish)) {
        return;
    }
    const auto [start, finish] =
        taskDates(dayStarts.of(task.start()), dayStarts.of(task.finish()), dayStarts);
    task.setStart(start);
    task.setFinish(finish);
}

ProjectTaskInnerType innerTypeOf(const JsonTask& record) {
    if (!record.type) {
        return ProjectTaskInnerType::common;
    }
    return ProjectTaskInnerType::fromRawValue(record.type->rawValue())
        .value_or(ProjectTaskInnerType::common);
}

// The team's members by id, as OrbProjectTeam::findMember answers them (the last member of a
// repeated id), read once per mapping: the team looks each id up under its lock, and a plan
// asks for a few members per task.
class MemberIndex {
public:
    explicit MemberIndex(const OrbProjectTeam& team) {
        for (auto& member : team.members()) {
            const std::int64_t id = member->id();
            members_.insert_or_assign(id, std::move(member));
        }
    }

    std::shared_ptr<OrbProjectMember> find(std::int64_t id) const {
        const auto found = members_.find(id);
        return found == members_.end() ? nullptr : found->second;
    }

private:
    std::unordered_map<std::int64_t, std::shared_ptr<OrbProjectMember>> members_;
};

// A milestone's (and, before its children exist, a group's) assignment list is where the model
// puts them: the milestone's ignores them, the group keeps them out of sight.
void mapResources(OrbProjectTask& task, const MemberIndex& team, const JsonTask& record) {
    if (!record.resources) {
        return;
    }
    for (const JsonResourceAssignment& assignment : *record.resources) {
        if (!assignment.workload || *assignment.workload < kLeastWorkload || !assignment.peopleId) {
            continue;
        }
        if (auto member = team.find(*assignment.peopleId)) {
            task.resources().addOrUpdateResource(std::move(member), *assignment.workload);
        }
    }
}

// "Auto" true is the fixed labour cost: the flag says that the cost is not estimated.
OrbTaskCost costOf(const JsonCost& record) {
    const bool fix = record._isFixLaborCost.value_or(false) && record._laborCost;
    return OrbTaskCost(fix ? OrbTaskLaborCost::fix(*record._laborCost) : OrbTaskLaborCost::auto_(),
                       record.materialsCost);
}

std::optional<TaskUrl> taskUrlOf(const std::optional<JsonTaskUrl>& record) {
    return record ? TaskUrl::make(record->title, record->url) : std::nullopt;
}

// The task itself, without its children. Its properties are set while it has none: a group's
// setters would refuse them, and its derived values are refreshed once the tree stands.
Task mapTask(const std::shared_ptr<OrbProject>& project, const Task& parent, const JsonTask& record,
             const MemberIndex& team, DayStarts& dayStarts) {
    if (!record.uid) {
        return nullptr;
    }
    const bool hasChilds = record.childs && !record.childs->empty();
    const auto readStart = taskDate(record.start, hasChilds, dayStarts);
    const auto readFinish = taskDate(record.finish, hasChilds, dayStarts);
    if (!readStart || !readFinish) {
        return nullptr;
    }
    const auto [start, finish] = taskDates(*readStart, *readFinish, dayStarts);
    Task task = parent ? parent->createChild(*record.uid, start, finish)
                       : OrbProjectTask::create(project, nullptr, *record.uid, start, finish);
    task->setInnerType(innerTypeOf(record));
    task->setName(record.name.value_or(""));
    task->setCompletedPercentage(record.completedPercent.value_or(0));
    mapResources(*task, team, record);
    task->setWork(record.work ? record.work->taskWork() : OrbTaskWork::byResource());
    task->setWorkCompletedPercentage(record.physicalCompletedPercentage.value_or(0));
    if (auto contactor = record.contactorId ? team.find(*record.contactorId) : nullptr) {
        task->setContactor(std::move(contactor));
    }
    task->setNotes(record.notes);
    task->setColor(record.colorIndex.value_or(0));
    task->setIcon(record.iconIndex.value_or(0));
    if (record.cost) {
        const OrbTaskCost cost = costOf(*record.cost);
        task->setLaborCost(cost.laborCost);
        task->setMaterialsCost(cost.materialsCost);
    }
    if (record.dateBaseline && record.dateBaseline->start && record.dateBaseline->finish) {
        task->dateBaseline()->change(*record.dateBaseline->start, *record.dateBaseline->finish);
    }
    task->setUrl1(taskUrlOf(record.url1));
    task->setUrl2(taskUrlOf(record.url2));
    if (record.predecessors) {
        task->setPredecessorIdListBuf(record.predecessors);
    } else {
        task->clearPredecessorIdListBuf();
    }
    task->setCollapsed(record.collapsed.value_or(false) && parent);
    return task;
}

// --- Passes over the finished tree ---

// A link target and the nearest project task above it.
struct LinkTarget {
    Task task;
    const OrbProjectTask* owner;
};
using LinkTargets = std::unordered_map<std::int64_t, LinkTarget>;

// The passes change values and links, never the tree's shape, so they walk the child lists in
// place instead of copying each one (a plan of 100k tasks would copy 100k lists per pass). Each
// task is visited with the nearest project task above it (as getRootTaskOfDirectProject()
// answers it; none for the root), known from the way down instead of climbing back up.
const OrbProjectTask* ownerOfChilds(const Task& task, const OrbProjectTask* owner) {
    return task->isMainOrSubProjectTask() ? task.get() : owner;
}

template <class Visit>
void forEachFromLeaf(const Task& root, Visit&& visit) {
    struct Frame {
        const Task* task;
        const OrbProjectTask* owner;
        const OrbProjectTask* childOwner = nullptr;
        std::size_t next = 0;
    };
    std::vector<Frame> stack{{&root, nullptr}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const auto& childs = (*top.task)->childs();
        if (childs && top.next < childs->size()) {
            if (top.next == 0) {
                top.childOwner = ownerOfChilds(*top.task, top.owner);
            }
            const Task* child = &(*childs)[top.next++];
            stack.push_back({child, top.childOwner});
            continue;
        }
        const Frame done = top;
        stack.pop_back();
        visit(*done.task, done.owner);
    }
}

// Pre-order, root first.
template <class Visit>
void forEachFromRoot(const Task& root, Visit&& visit) {
    struct Pending {
        const Task* task;
        const OrbProjectTask* owner;
    };
    std::vector<Pending> pending{{&root, nullptr}};
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        visit(*next.task, next.owner);
        if (const auto& childs = (*next.task)->childs(); childs && !childs->empty()) {
            const OrbProjectTask* childOwner = ownerOfChilds(*next.task, next.owner);
            for (auto child = childs->rbegin(); child != childs->rend(); ++child) {
                pending.push_back({&*child, childOwner});
            }
        }
    }
}

// Leaf to root, so that every group sees its children's final dates. Answers the count of tasks.
std::size_t recalculateGroupDates(const Task& root) {
    std::size_t count = 0;
    forEachFromLeaf(root, [&count](const Task& task, const OrbProjectTask*) {
        task->refreshCalculatablePropertiesOfTaskGroup(true, true, false, false, false, false);
        ++count;
    });
    return count;
}

// A common group takes no part in links, so it is no target; of several tasks with one id the
// last one met leaf to root is. `taskCount` sizes the table.
LinkTargets refreshGroupsAndCollectLinkTargets(const Task& root, std::size_t taskCount) {
    LinkTargets targets;
    targets.reserve(taskCount);
    forEachFromLeaf(root, [&targets](const Task& task, const OrbProjectTask* owner) {
        task->refreshCalculatablePropertiesOfTaskGroup(false, false, true, true, true, true);
        if (!task->isGroupTask()) {
            targets.insert_or_assign(task->id(), LinkTarget{task, owner});
        }
    });
    return targets;
}

// A link holds only inside one project: both tasks must have the same nearest project task
// above them. The root is above every task and below none, so a link to it is refused.
void resolveTaskLinks(const Task& root, const LinkTargets& targets,
                      const platform::CallSite& site) {
    forEachFromRoot(root, [&](const Task& task, const OrbProjectTask* owner) {
        if (!task->predecessorIdListBuf() || task->isGroupTask()) {
            return;
        }
        if (owner == nullptr) {
            return;
        }
        for (const std::int64_t targetId : *task->predecessorIdListBuf()) {
            // Common groups were left out of the targets, and nothing here changes a task's
            // kind or children, so a target found is never one.
            const auto found = targets.find(targetId);
            if (found == targets.end()) {
                continue;
            }
            const Task& target = found->second.task;
            const OrbProjectTask* targetOwner = found->second.owner;
            if (targetOwner == nullptr) {
                Log::debug(
                    [&] {
                        return "Invalid link -  task " + lx::toString(target->id()) +
                               " is not in any project";
                    },
                    site);
            } else if (targetOwner->id() == owner->id()) {
                task->links().addPredecessor(target);
            } else {
                Log::debug(
                    [&] {
                        return "Invalid link - cross project link between task " +
                               lx::toString(task->id()) + " and " + lx::toString(target->id());
                    },
                    site);
            }
        }
        task->clearPredecessorIdListBuf();
    });
}

Task defaultRoot(const std::shared_ptr<OrbProject>& project) {
    const platform::Date today = lx::toDayOnly(platform::Date::now());
    return OrbProjectTask::create(project, nullptr, kDefaultRootId, today, today + LxDays(1));
}

}  // namespace

// The steps run in this order: the calendar is made from the root's dates once they are
// derived, and links need the link targets that the group refresh collects.
std::shared_ptr<OrbProject> DataMapService::map(const JsonProject& jsonProject) {
    const platform::CallSite site;
    if (!jsonProject.uniqueId) {
        return nullptr;
    }
    auto project = OrbProject::create(*jsonProject.uniqueId, jsonProject.name.value_or("project"),
                                      jsonProject.version);
    mapMembers(*project, jsonProject);
    mapHeader(*project, jsonProject);

    Task root = jsonProject.root ? map(project, nullptr, *jsonProject.root) : nullptr;
    if (!root) {
        root = defaultRoot(project);
    }
    project->initializeByCalendarAndTeamAndRootTask(nullptr, std::nullopt, root);
    const std::size_t taskCount = recalculateGroupDates(root);

    if (jsonProject.calendar) {
        project->calendar()->setDayExceptionString(*jsonProject.calendar);
    }
    LinkTargets targets;
    {
        // Nothing but the groups' derived values changes while every group is refreshed.
        const OrbLeafFiguresScope leafFigures(*root);
        targets = refreshGroupsAndCollectLinkTargets(root, taskCount);
    }
    resolveTaskLinks(root, targets, site);
    root->setGlobalSequenceNoInTaskTree(0);
    return project;
}

// Depth-first with an explicit stack: a document may nest its tasks deeper than a call stack
// should go. Each child is mapped with its whole subtree before its next sibling, as the
// document lists them.
Task DataMapService::map(const std::shared_ptr<OrbProject>& project, const Task& parent,
                         const JsonTask& jsonTask, bool includeChildren) {
    const MemberIndex team(*project->team());
    DayStarts dayStarts;
    Task top = mapTask(project, parent, jsonTask, team, dayStarts);
    if (!top || !includeChildren) {
        return top;
    }
    struct Frame {
        const JsonTask* record;
        Task task;
        std::size_t next = 0;
    };
    std::vector<Frame> stack{{&jsonTask, top}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (!frame.record->childs || frame.next == frame.record->childs->size()) {
            settlePlaceholderDates(*frame.task, *frame.record, dayStarts);
            stack.pop_back();
            continue;
        }
        const JsonTask& childRecord = (*frame.record->childs)[frame.next++];
        if (Task child = mapTask(project, frame.task, childRecord, team, dayStarts)) {
            stack.push_back({&childRecord, std::move(child)});
        }
    }
    return top;
}
