#include "LxOrbinDocument/Model/Project/internal/OrbProjectCloneFrame.h"

#include "LxLog/Log.h"
#include "LxOrbinDocument/Model/Project/OrbProjectCalendar.h"
#include "LxOrbinDocument/Model/Task/CloneWarnings.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "platform/foundation/CallSite.h"
#include "utility/LxTreeNode.h"
#include "utility/LxUniqueIdentifier.h"

namespace orb_clone {

namespace {

// The header settings a clone takes, in this order, each through its setter.
void copyHeader(const OrbProject& source, OrbProject& target,
                std::shared_ptr<OrbProjectTeam> team) {
    target.setColorIndex(source.colorIndex());
    target.setImageId(source.imageId());
    target.setTeam(std::move(team));
    const std::shared_ptr<OrbProjectCalendar>& calendar = source.calendar();
    target.initializeCalendar(OrbProjectCalendar::create(calendar->start(), calendar->end(),
                                                         calendar->rowData().value_or("")));
    target.setNotes(source.notes());
    target.setTimespaceScale(source.timespaceScale());
    target.setTimespaceOrginalTime(source.timespaceOrginalTime());
    target.setScreenOffsetY(source.screenOffsetY());
    target.setDefaultCostRate(source.defaultCostRate());
    target.setDisplayCurrencyAtBegin(source.displayCurrencyAtBegin());
    target.setCurrency(source.currency());
    target.setDailyWorkingHours(source.dailyWorkingHours());
}

}  // namespace

Frame begin(const OrbProject& source, const Task& fromRootTask, std::string projectName,
            std::shared_ptr<OrbProjectTeam> team, std::string_view function) {
    Frame frame{
        OrbProject::create(LxUniqueIdentifier::shared().uuidString(), std::move(projectName)),
        nullptr,
        {},
        function};
    copyHeader(source, *frame.target, std::move(team));
    frame.start = fromRootTask ? fromRootTask : source.root();
    return frame;
}

Task Frame::copy(const Task& task, bool enter) {
    Task made = task->clonePropertyExceptChildrenAndLinkToOtherProject(target);
    if (enter) {
        copies[made->id()] = made;
    }
    return made;
}

Task Frame::copiedById(std::int64_t taskId) const {
    const auto found = copies.find(taskId);
    return found == copies.end() ? nullptr : found->second;
}

// The task's own check refuses a child that is the parent or holds it below; one copy standing
// for two sources with the same id must not even try to take itself, which the check would
// report as a broken tree, nor be listed under a second parent once it has one.
void Frame::attach(const Task& parent, const Task& child) {
    if (parent != child && child->parent() == nullptr) {
        parent->addChild(child);
    }
}

void Frame::warnNotCloned(const Task& parent, const Task& child) const {
    lx::warnTaskNotCloned(*parent, *child, platform::CallSite{}.withFunction(function));
}

void Frame::attachByPairs() {
    lx::treeNavigateNodePair(start, [this](const Task& parent, const Task& child) {
        const Task parentCopy = copied(parent);
        const Task childCopy = copied(child);
        if (parentCopy && childCopy) {
            attach(parentCopy, childCopy);
        } else {
            warnNotCloned(parent, child);
        }
    });
}

std::shared_ptr<OrbProject> Frame::finish(bool linksIncludeStart, const Task& rootCopy) {
    Task root = rootCopy ? rootCopy : copied(start);
    if (!root) {
        Log::warning("Root task not be cloned", platform::CallSite{}.withFunction(function));
        root = copy(start, false);
    }
    // Copies of tasks above the start task may hold the root; they are not part of the clone.
    if (const Task above = root->parent()) {
        target->removeChild(above, root);
    }
    target->initializeByCalendarAndTeamAndRootTask(nullptr, std::nullopt, root);

    lx::treeNavigate(start, linksIncludeStart, [this](const Task& task) {
        const Task taskCopy = copied(task);
        OrbTaskPredecessors* predecessors = task->links().predecessors();
        if (!taskCopy || predecessors == nullptr) {
            return;
        }
        for (const Task& predecessor : predecessors->links().value_or(std::vector<Task>{})) {
            if (const Task predecessorCopy = copied(predecessor)) {
                taskCopy->links().addPredecessor(predecessorCopy);
            }
        }
    });
    return target;
}

}  // namespace orb_clone
