// Outline and sequence numbers of tasks, and the questions about the shape of the tree around a
// task that views and the combined project's layout ask.
#include <algorithm>
#include <utility>

#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/LxParentLinkedTreeNode.h"
#include "utility/LxTreeNode.h"
#include "utility/NumberConversions.h"

using Ptr = OrbProjectTask::Ptr;

namespace {

bool isCollapsed(const Ptr& task) {
    return task->collapsed();
}

bool isSubProject(const Ptr& task) {
    return task->isSubProjectTask();
}

}  // namespace

// --- Outline numbers ---

std::string OrbProjectTask::wbsNo() const {
    return outlineNumber(&Occasional::wbsNo);
}

std::string OrbProjectTask::directWbsNo() const {
    return outlineNumber(&Occasional::directWbsNo);
}

std::string OrbProjectTask::outlineNumber(std::optional<std::string> Occasional::*cache) const {
    if (!parent()) {
        return "";
    }
    if (!_occasional || !(_occasional.get()->*cache)) {
        buildWbsNumbers();
    }
    return _occasional ? (_occasional.get()->*cache).value_or("") : "";
}

bool OrbProjectTask::holdsWbsNumbers() const {
    return _occasional && _occasional->wbsNo && _occasional->directWbsNo;
}

// A task's number extends its parent's, which may have to be built first, and so on up: the
// tasks without numbers are collected upwards and numbered downwards, so a tree as deep as a
// file likes never makes this recurse. A task its parent does not list gets no number, and
// neither does anything below it.
void OrbProjectTask::buildWbsNumbers() const {
    std::vector<const OrbProjectTask*> unnumbered{this};
    for (Ptr up = parent(); up && up->parent() && !up->holdsWbsNumbers(); up = up->parent()) {
        unnumbered.push_back(up.get());
    }
    for (auto next = unnumbered.rbegin(); next != unnumbered.rend(); ++next) {
        const OrbProjectTask& task = **next;
        const Ptr parent = task.parent();
        const auto index = parent ? parent->indexOfChild(task.id()) : std::nullopt;
        const bool parentIsRoot = parent && !parent->parent();
        if (!index || !(parentIsRoot || parent->holdsWbsNumbers())) {
            return;
        }
        const std::string number = lx::toString(static_cast<std::int64_t>(*index) + 1);
        const bool restartsHere =
            parentIsRoot || parent->_innerType == ProjectTaskInnerType::project;
        Occasional& numbers = task.occasional();
        numbers.wbsNo = parentIsRoot ? number : *parent->_occasional->wbsNo + "." + number;
        numbers.directWbsNo =
            restartsHere ? number : *parent->_occasional->directWbsNo + "." + number;
    }
}

void OrbProjectTask::refreshWbsNo() {
    if (_occasional) {
        _occasional->wbsNo.reset();
        _occasional->directWbsNo.reset();
    }
}

// --- Sequence numbers ---

// Counting on from the largest number would be undefined; the counter holds there instead.
void OrbProjectTask::assignGlobalSequenceNo(std::int64_t& counter) {
    _sequenceno = counter;
    counter = lx::saturatingAdd(counter, 1);
}

void OrbProjectTask::setGlobalSequenceNoInTaskTree(std::int64_t start) {
    std::int64_t counter = start;
    lx::treeNavigate(handle(), true,
                     [&counter](const Ptr& task) { task->assignGlobalSequenceNo(counter); });
}

void OrbProjectTask::setDirectSequenceNoInTaskTree(std::int64_t start, bool includeMe) {
    if (includeMe) {
        _directSequenceNo = start;
    }
    std::int64_t counter = lx::saturatingAdd(start, 1);
    lx::treeConditionalNavigate(handle(), false, [&counter](const Ptr& task) {
        task->_directSequenceNo = counter;
        counter = lx::saturatingAdd(counter, 1);
        return task->isGroupTask();
    });
}

// --- Shape and visibility ---

// Levels counted downwards from an explicit stack; only below this task and below common tasks
// with children does the count go on.
std::int64_t OrbProjectTask::deepsOfChildsExceptSubProjectTasks() const {
    std::int64_t deepest = 0;
    std::vector<std::pair<const OrbProjectTask*, std::int64_t>> pending{{this, 0}};
    while (!pending.empty()) {
        const auto [task, level] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, level);
        if (task != this && !task->isGroupTask()) {
            continue;
        }
        if (task->hasChilds()) {
            for (const Ptr& child : *task->_childs) {
                pending.emplace_back(child.get(), level + 1);
            }
        }
    }
    return deepest;
}

bool OrbProjectTask::includeSubProjectInChildsTree() const {
    return static_cast<bool>(lx::treeSearch(handle(), false, isSubProject));
}

bool OrbProjectTask::isInSubProject() const {
    return lx::treeExistsAnyInAncestors(handle(), isSubProject);
}

bool OrbProjectTask::isHidden() const {
    return parent() && lx::treeExistsAnyInAncestors(handle(), isCollapsed);
}

bool OrbProjectTask::isAllAncestorsExpanded() const {
    return !_collapsed && !lx::treeExistsAnyInAncestors(handle(), isCollapsed);
}

bool OrbProjectTask::isVisibleInOneLine() const {
    switch (_innerType.value()) {
        case ProjectTaskInnerType::common:
            return !hasChilds();
        case ProjectTaskInnerType::milestone:
            return true;
        case ProjectTaskInnerType::project:
            break;
    }
    return static_cast<bool>(parent());
}

Ptr OrbProjectTask::lastChildIncludeMeInDeepTree() const {
    Ptr last = handle();
    while (last->isGroupTask()) {
        last = last->_childs->back();
    }
    return last;
}

Ptr OrbProjectTask::lastExpandedChildIncludeMeInDeepTree() const {
    Ptr last = handle();
    while (last->isGroupTask() && !last->_collapsed) {
        last = last->_childs->back();
    }
    return last;
}
