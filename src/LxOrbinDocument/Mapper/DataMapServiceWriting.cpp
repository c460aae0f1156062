// Writing: a project becomes a document. Only values that say something are written; reading
// gives every left-out value back as its default.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"

namespace {

constexpr std::int64_t kLeastWorkload = 1;

std::optional<std::int64_t> unlessZero(std::int64_t value) {
    return value != 0 ? std::optional(value) : std::nullopt;
}

JsonPeople recordOf(const OrbProjectMember& member) {
    return JsonPeople{.id = member.id(),
                      .name = member.name(),
                      .photoId = member.photoid(),
                      .email = member.email(),
                      .costRate = member.costRate()};
}

std::optional<JsonTaskUrl> recordOf(const std::optional<TaskUrl>& url) {
    if (!url) {
        return std::nullopt;
    }
    return JsonTaskUrl{.title = url->title(), .url = url->url()};
}

// A group and a milestone answer the shared empty list, so they write no assignments.
std::optional<std::vector<JsonResourceAssignment>> resourcesOf(const OrbProjectTask& task) {
    std::vector<JsonResourceAssignment> records;
    for (const auto& assignment : task.resources().assignments()) {
        if (assignment->workload() >= kLeastWorkload) {
            records.push_back(
                {.peopleId = assignment->member()->id(), .workload = assignment->workload()});
        }
    }
    return records.empty() ? std::nullopt : std::optional(std::move(records));
}

// A group's predecessor collection reads as none: groups take no part in links.
std::optional<std::vector<std::int64_t>> predecessorIdsOf(const OrbProjectTask& task) {
    const OrbTaskPredecessors* predecessors = task.links().predecessors();
    const auto linked = predecessors ? predecessors->links() : std::nullopt;
    if (!linked) {
        return std::nullopt;
    }
    std::vector<std::int64_t> ids;
    ids.reserve(linked->size());
    for (const auto& predecessor : *linked) {
        ids.push_back(predecessor->id());
    }
    return ids;
}

// A task whose baseline was never made has no dates to write; making one per task here would
// give every task of the plan its occasional-values record on each save.
std::optional<JsonDateBaseline> baselineOf(const OrbProjectTask& task) {
    const DateBaseline* baseline = task.madeDateBaseline();
    if (!baseline || !baseline->start() || !baseline->finish()) {
        return std::nullopt;
    }
    return JsonDateBaseline(*baseline->start(), *baseline->finish());
}

// The task without its children. Dates and completions are the ones the task shows (derived
// for a group); work and cost are the task's own setting, which a group keeps as well.
JsonTask recordOf(const OrbProjectTask& task) {
    JsonTask record;
    record.uid = task.id();
    record.type = JsonTaskType::fromRawValue(task.innerType().rawValue());
    record.name = task.name();
    record.start = task.start();
    record.finish = task.finish();
    record.completedPercent = unlessZero(task.completePercentage());
    record.resources = resourcesOf(task);
    if (!task.workData().isByResource()) {
        record.work = JsonWorkData(task.workData());
    }
    record.physicalCompletedPercentage = unlessZero(task.workCompletePercentage());
    if (task.contactor()) {
        record.contactorId = task.contactor()->id();
    }
    record.cost = JsonCost(task.costData());
    record.colorIndex = unlessZero(task.colorIndex());
    record.iconIndex = unlessZero(task.iconIndex());
    record.notes = task.notes();
    record.predecessors = predecessorIdsOf(task);
    record.dateBaseline = baselineOf(task);
    record.url1 = recordOf(task.url1());
    record.url2 = recordOf(task.url2());
    record.collapsed = task.collapsed();
    return record;
}

}  // namespace

// The calendar is read before the root: with no root yet it is made from today, as the model
// makes it for a project without one, and the root made afterwards does not change that.
JsonProject DataMapService::map(const OrbProject& project, bool includeTasks) {
    JsonProject document(project.uniqueId(), project.name());
    document.peoples.emplace();
    for (const auto& member : project.team()->members()) {
        document.peoples->push_back(recordOf(*member));
    }
    document.version = project.version();
    document.colorIndex = project.colorIndex();
    document.dailyWorkingHours = project.dailyWorkingHours();
    document.currency = project.currency();
    document.displayCurrencyAtBegin = project.displayCurrencyAtBegin();
    document.defaultCostRate = project.defaultCostRate();
    document.notes = project.notes();
    document.calendar = project.calendar()->rowData();
    document.timespaceScale = project.timespaceScale();
    document.timespaceOrginalTime = project.timespaceOrginalTime();
    document.screenOffsetY = project.screenOffsetY();
    document.taskLinkType = project.taskLinkType().rawValue();
    document.userHasSetLinkType = project.userHasSetLinkType();
    document.onlyWorkingDayTaskSchedule = project.onlyWorkingDayTaskSchedule();
    document.imageId = project.imageId();
    document.pdfAuthorName = project.pdfAuthorName();
    document.pdfBannerImageId = project.pdfBannerImageId();
    if (includeTasks) {
        document.root = map(*project.root(), true);
    }
    return document;
}

// Depth-first with an explicit stack, as reading does. Each child list is reserved at its full
// size before its first record goes in, so the records the stack points into never move.
JsonTask DataMapService::map(const OrbProjectTask& task, bool includeChildren) {
    JsonTask top = recordOf(task);
    if (!includeChildren) {
        return top;
    }
    struct Frame {
        const OrbProjectTask* task;
        JsonTask* record;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    const auto descend = [&stack](const OrbProjectTask& parent, JsonTask& record) {
        if (!parent.childs()) {
            return;
        }
        record.childs.emplace();
        record.childs->reserve(parent.childs()->size());
        stack.push_back({&parent, &record});
    };
    descend(task, top);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const OrbProjectTask::Childs& childs = *frame.task->childs();
        if (frame.next == childs.size()) {
            stack.pop_back();
            continue;
        }
        const OrbProjectTask& child = *childs[frame.next++];
        descend(child, frame.record->childs->emplace_back(recordOf(child)));
    }
    return top;
}
