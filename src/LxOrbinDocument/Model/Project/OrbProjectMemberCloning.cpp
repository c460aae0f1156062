// The clone by team members and as a to-do list. The steps the clones share are in
// internal/OrbProjectCloneFrame.cpp.
#include <unordered_set>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/internal/OrbProjectCloneFrame.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/LxParentLinkedTreeNode.h"
#include "utility/LxTreeNode.h"

using Task = OrbProject::Task;

namespace {

constexpr char kMembersFunction[] =
    "clone(fromRootTask:projectName:forProjectmemberIdentifiers:exportAsTodoList:"
    "includeMilestone:)";

bool isLeafOf(const Task& task, ProjectTaskInnerType kind) {
    return !task->hasChilds() && task->innerType() == kind;
}

// Every task, or every task but the childless milestones; flat below the root copy as a to-do
// list, else in the source's shape.
void copyAllTasks(orb_clone::Frame& frame, bool exportAsTodoList, bool includeMilestone) {
    lx::treeNavigate(frame.start, true, [&](const Task& task) {
        if (task->hasChilds()) {
            if (!exportAsTodoList) {
                frame.copy(task);
            }
        } else if (!(task->innerType() == ProjectTaskInnerType::milestone &&
                     (!includeMilestone || exportAsTodoList))) {
            frame.copy(task);
        }
    });
    if (!exportAsTodoList) {
        frame.attachByPairs();
        return;
    }
    const Task rootCopy =
        frame.copied(frame.start) ? frame.copied(frame.start) : frame.copy(frame.start);
    lx::treeNavigateNodePair(frame.start, [&](const Task& parent, const Task& child) {
        if (const Task childCopy = frame.copied(child)) {
            orb_clone::Frame::attach(rootCopy, childCopy);
        } else {
            frame.warnNotCloned(parent, child);
        }
    });
}

// The members' share of each single task, with the tasks above it up to the source's root
// (above the start task too: the root's parent copy is dropped when the clone finishes).
void copyMembersWork(orb_clone::Frame& frame, const std::vector<std::int64_t>& memberIds,
                     bool exportAsTodoList) {
    lx::treeNavigate(frame.start, true, [&](const Task& task) {
        if (!isLeafOf(task, ProjectTaskInnerType::common) || task->id() == frame.start->id()) {
            return;
        }
        const Task copy =
            task->cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(
                frame.target, memberIds);
        if (!copy) {
            return;
        }
        frame.copies[copy->id()] = copy;
        if (exportAsTodoList) {
            return;
        }
        lx::treeNavigateAncestor(task, false, [&](const Task& ancestor) {
            if (!frame.copied(ancestor)) {
                frame.copy(ancestor);
            }
        });
    });
    if (exportAsTodoList && !frame.copied(frame.start)) {
        frame.copy(frame.start);
    }
}

// Places the members' copies below their parents' copies (below the root copy as a to-do
// list), with the milestones of copied groups when they are wanted.
void placeMembersWork(orb_clone::Frame& frame, bool exportAsTodoList, bool includeMilestone) {
    lx::treeConditionalNavigate(frame.start, true, [&](const Task& task) {
        const Task parent = task->parent();
        if (!parent) {
            return true;
        }
        const Task anchorCopy = frame.copied(exportAsTodoList ? frame.start : parent);
        if (!anchorCopy) {
            return false;
        }
        if (task->hasChilds()) {
            if (exportAsTodoList) {
                return true;
            }
            const Task copy = frame.copied(task);
            if (copy) {
                orb_clone::Frame::attach(anchorCopy, copy);
            }
            return static_cast<bool>(copy);
        }
        if (task->innerType() == ProjectTaskInnerType::common) {
            if (const Task copy = frame.copied(task)) {
                orb_clone::Frame::attach(anchorCopy, copy);
            }
        } else if (task->innerType() == ProjectTaskInnerType::milestone && includeMilestone &&
                   !exportAsTodoList) {
            orb_clone::Frame::attach(anchorCopy, frame.copy(task));
        }
        return true;
    });
}

// The collected members in the order asked; none when no id is known to the team. An id asked
// twice counts once: the new team would otherwise hold two members with one id.
std::vector<std::shared_ptr<OrbProjectMember>> membersFor(
    const OrbProjectTeam& team, const std::optional<std::vector<std::int64_t>>& identifiers) {
    std::vector<std::shared_ptr<OrbProjectMember>> members;
    std::unordered_set<std::int64_t> taken;
    for (const std::int64_t memberId : identifiers.value_or(std::vector<std::int64_t>{})) {
        auto member = team.get(memberId);
        if (member && taken.insert(memberId).second) {
            members.push_back(std::move(member));
        }
    }
    return members;
}

}  // namespace

std::shared_ptr<OrbProject> OrbProject::clone(
    const Task& fromRootTask, std::string projectName,
    const std::optional<std::vector<std::int64_t>>& forProjectmemberIdentifiers,
    bool exportAsTodoList, bool includeMilestone) const {
    const auto members = membersFor(*_team, forProjectmemberIdentifiers);
    if (members.empty()) {
        orb_clone::Frame frame = orb_clone::begin(*this, fromRootTask, std::move(projectName),
                                                  _team->clone(), kMembersFunction);
        copyAllTasks(frame, exportAsTodoList, includeMilestone);
        return frame.finish(true);
    }
    auto team = OrbProjectTeam::create();
    std::vector<std::int64_t> memberIds;
    for (const auto& member : members) {
        team->add(member->clone());
        memberIds.push_back(member->id());
    }
    orb_clone::Frame frame =
        orb_clone::begin(*this, fromRootTask, std::move(projectName), team, kMembersFunction);
    copyMembersWork(frame, memberIds, exportAsTodoList);
    placeMembersWork(frame, exportAsTodoList, includeMilestone);
    return frame.finish(true);
}
